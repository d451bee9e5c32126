create names the network and its log after the pattern file, in the working
directory; save rules and save net use that name or the one given.
== args cmds
== mkdir data
== file data/small.pat
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
load pattern data/small.pat
create net -r10
save rules
save net copy.net
save rules
== stdout
KORVALIN 1.0, 
A neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.
Type 'help' for an overview of the commands.
[Warning]
Can't open '@DIR@/korvalin.cfg' (No such file or directory).
Using default configuration.
[end]
**** Reading commands from cmds... ****
korvalin> load pattern data/small.pat
 Loading pattern from ./data/small.pat...
korvalin> create net -r10
 Creating initial rule base...^@done (2 rules created).
 Now evaluating the rules...^@done.
[Information]
 
 See ./small.log for details about net creation.
[end]
korvalin> save rules
[Information]
 Rules has been saved to ./small.rul.
[end]
korvalin> save net copy.net
[Information]
 Network has been saved to ./copy.net.
[end]
korvalin> save rules
[Information]
 Rules has been saved to ./small.rul.
[end]
== expect small.log
#
# KORVALIN 1.0 net creation log file
#
# Pattern used: @DIR@/data/small.pat
# Maximum number of rules to create: 10
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
== expect small.rul
#
# KORVALIN 1.0 rule definition file
#
#Rule 1:
IF   width IS small AND height IS small
THEN narrow

#Rule 2:
IF   width IS large AND height IS large
THEN wide

== expect small.net
#
# KORVALIN 1.0 network definition file
#
% This are the network parameters:
% <Input dimension> <number of rules> <output dimension> <max. rules>
PARAMETERS
2	2	2	6

VARNAMES
width
height
narrow
wide

% The aggregation function to be used:
USESUM

% This are the parameters of the (triangular) fuzzy sets:
% <a>   <b>   <c>    <LeftShouldered>  <RightShouldered>  [name]
FUZZY
3
1.000000	9.000000
1.000000	3.000000	5.000000	1 0  small
3.000000	5.000000	7.000000	0 0  medium
5.000000	7.000000	9.000000	0 1  large

3
0.500000	5.000000
0.500000	1.625000	2.750000	1 0  small
1.625000	2.750000	3.875000	0 0  medium
2.750000	3.875000	5.000000	0 1  large

% This is the connection matrix:
MATRIX
1	3	
1	3	

% This are the conclusion weights:
% For each rule: <output class> <conclusion weight>
WEIGHTS
   1   1.000000
   2   1.000000

END
== files
cmds
copy.net
data/
data/small.pat
small.log
small.net
small.rul
