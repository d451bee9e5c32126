Every form of set and show: the per-variable fuzzy set counts (index and
value checks, braces), learning parameters by name in any letter case, and
the network listings refused without a network.
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
set NumberOfFSets[1] = 4
load pattern small.pat
set NumberOfFSets[2] = 5
show NumberOfFSets
set numberoffsets[0] = 3
set NumberOfFSets[3] = 3
set NumberOfFSets[2] = 8
set NumberOfFSets[1] = 0
set NumberOfFSets2] = 3
set NumberOfFSets[2 = 3
set FSetsPerVariable = 3
show NumberOfFSets
set sigma = 0.5
show SIGMA
set Epochs = 5
set MaxEpoch to 00
show Learning_rules
show epochs
set FSetsPerVariable = 6
show numberoffsets
show fuzzy
show Rules
show ranges
show inputnames
show classnames
== stdout
KORVALIN 1.0, 
A neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.
Type 'help' for an overview of the commands.
[Warning]
Can't open '@DIR@/korvalin.cfg' (No such file or directory).
Using default configuration.
[end]
**** Reading commands from cmds... ****
korvalin> set NumberOfFSets[1] = 4
[Error]
Invalid Index 1.
[end]
korvalin> load pattern small.pat
 Loading pattern from ./small.pat...
korvalin> set NumberOfFSets[2] = 5
korvalin> show NumberOfFSets
 NumberOfFSets = <3, 5>korvalin> set numberoffsets[0] = 3
[Error]
Invalid Index 0.
[end]
korvalin> set NumberOfFSets[3] = 3
[Error]
Invalid Index 3.
[end]
korvalin> set NumberOfFSets[2] = 8
[Error]
Invalid Value 8.
[end]
korvalin> set NumberOfFSets[1] = 0
[Error]
Invalid Value 0.
[end]
korvalin> set NumberOfFSets2] = 3
[Error]
Missing open brace ('[').
[end]
korvalin> set NumberOfFSets[2 = 3
[Error]
Missing close brace (']').
[end]
korvalin> set FSetsPerVariable = 3
korvalin> show NumberOfFSets
 NumberOfFSets = <3, 5>korvalin> set sigma = 0.5
korvalin> show SIGMA
 sigma = 0.5^@korvalin> set Epochs = 5
[Warning]
Setting Parameter Epochs to 5 failed.Unkwown parameter name 'Epochs'.
[end]
korvalin> set MaxEpoch to 00
[Warning]
Setting Parameter MaxEpoch to 00 failed.Invalid value format.
[end]
korvalin> show Learning_rules
 Learning_Rules = Simple^@korvalin> show epochs
[Error]
Unkwown parameter name 'epochs'.
[end]
korvalin> set FSetsPerVariable = 6
korvalin> show numberoffsets
 NumberOfFSets = <6, 6>korvalin> show fuzzy
[Error]
 Can't show 'fuzzy'. No net loaded or defined.
[end]
korvalin> show Rules
[Error]
 Can't show 'Rules'. No net loaded or defined.
[end]
korvalin> show ranges
[Error]
 Can't show 'ranges'. No net loaded or defined.
[end]
korvalin> show inputnames
[Error]
 Can't show 'inputnames'. No net loaded or defined.
[end]
korvalin> show classnames
[Error]
 Can't show 'classnames'. No net loaded or defined.
[end]
