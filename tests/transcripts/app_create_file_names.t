The network file may be named before or after the -r option (a name that
merely contains -r is a name); -r0 allows one rule per pattern. Without a log
file the report names /dev/null.
== args cmds
== file small.pat
% two features
DIMENSIONS
2 2
VARNAMES
width
height
narrow
wide
PATTERNS
6
1.0 0.5  1 0
1.5 1.0  1 0
2.0 0.5  1 0
8.0 4.5  0 1
9.0 4.0  0 1
8.5 5.0  0 1
END
== file cmds
load pattern small.pat
create net -r10 first.net
create net second.net -r0
create net my-rules.net -r5
set CreateLogFile = no
create net -r3 quiet.net
== stdout
KORVALIN 1.0, 
A neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.
Type 'help' for an overview of the commands.
[Warning]
Can't open '@DIR@/korvalin.cfg' (No such file or directory).
Using default configuration.
[end]
**** Reading commands from cmds... ****
korvalin> load pattern small.pat
 Loading pattern from ./small.pat...
korvalin> create net -r10 first.net
 Creating initial rule base...^@done (2 rules created).
 Now evaluating the rules...^@done.
[Information]
 
 See ./first.log for details about net creation.
[end]
korvalin> create net second.net -r0
 Creating initial rule base...^@done (2 rules created).
 Now evaluating the rules...^@done.
[Information]
 
 See ./second.log for details about net creation.
[end]
korvalin> create net my-rules.net -r5
 Creating initial rule base...^@done (2 rules created).
 Now evaluating the rules...^@done.
[Information]
 
 See ./my-rules.log for details about net creation.
[end]
korvalin> set CreateLogFile = no
korvalin> create net -r3 quiet.net
 Creating initial rule base...^@done (2 rules created).
 Now evaluating the rules...^@done.
[Information]
 
 See /dev/null for details about net creation.
[end]
== expect second.log
#
# KORVALIN 1.0 net creation log file
#
# Pattern used: @DIR@/small.pat
# Maximum number of rules to create: 6
# Rule creation/evaluation mode: Simple
#
[Rule creation] 
 Pattern    1 (class narrow) created rule 1.
 Pattern    4 (class wide) created rule 2.

[Checking rule connections]
# Rule performance of the considered rule for each output class
 Rule   1:     3.00    0.00
 Rule   2:     0.00    3.00

 0 rule(s) reconnected.

[Rule evaluation]
# Rules sorted by their performance
#  No.	 Rule No.   Overall rule performance   Points to class
    1     1 	    3.000 	 (class 'narrow')
    2     2 	    3.000 	 (class 'wide')

[Rule selection]
# Selection mode: Simple
# Rules created : 2
# Rules wanted  : 6
# Selected rules: all
== files
cmds
first.log
first.net
my-rules.log
my-rules.net
quiet.net
second.log
second.net
small.pat
