The creation report in each rule mode: in Simple mode the rules that could
not be created, in the selecting modes how many were kept. Pipe mode adds the
network summary after create and after load.
== args -p cmds
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
create net -r1
set Learning_Rules = best
create net -r1
! cp small.log best.log
load net small.net
set Learning_Rules = bestperclass
create net -r2
set Learning_Rules = simple
create net -r2
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
[Pattern dimensions]
Pattern loaded from     : @DIR@/small.pat
Number of input features: 2
Number of classes       : 2
Number of patterns      : 6
Classified patterns     : Yes
korvalin> create net -r1
 Creating initial rule base...^@done (1 rules created).
 Now evaluating the rules...^@done.
[Netinfo]
Net loaded from       : @DIR@/small.net
Number of input units : 2
Number of rule units  : 1
Number of output units: 2
[Information]
 The system tried to create 3 more rules. 
 Some of these were possibly identical.
 
 See ./small.log for details about net creation.
[end]
korvalin> set Learning_Rules = best
korvalin> create net -r1
 Creating initial rule base...^@done (2 rules created).
 Now evaluating the rules...^@done.
[Netinfo]
Net loaded from       : @DIR@/small.net
Number of input units : 2
Number of rule units  : 1
Number of output units: 2
[Information]
 1 rules (out of 2 created rules) have been selected.
 
 See ./small.log for details about net creation.
[end]
korvalin> ! cp small.log best.log
korvalin> load net small.net
 Loading network from ./small.net...
[Netinfo]
Net loaded from       : @DIR@/small.net
Number of input units : 2
Number of rule units  : 1
Number of output units: 2
korvalin> set Learning_Rules = bestperclass
korvalin> create net -r2
 Creating initial rule base...^@done (2 rules created).
 Now evaluating the rules...^@done.
[Netinfo]
Net loaded from       : @DIR@/small.net
Number of input units : 2
Number of rule units  : 2
Number of output units: 2
[Information]
 2 rules (out of 2 created rules) have been selected.
 
 See ./small.log for details about net creation.
[end]
korvalin> set Learning_Rules = simple
korvalin> create net -r2
 Creating initial rule base...^@done (2 rules created).
 Now evaluating the rules...^@done.
[Netinfo]
Net loaded from       : @DIR@/small.net
Number of input units : 2
Number of rule units  : 2
Number of output units: 2
[Information]
 
 See ./small.log for details about net creation.
[end]
== expect best.log
#
# KORVALIN 1.0 net creation log file
#
# Pattern used: @DIR@/small.pat
# Maximum number of rules to create: 1
# Rule creation/evaluation mode: Best
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
# Selection mode: Best
# Rules created : 2
# Rules wanted  : 1
# Selected rules: (see below)
 1
