In pipe mode the learning status takes its long form, followed by the
partitions of the network.
== copy two_features.pat
== copy small.net
== args -p cmds
== file cmds
load pattern two_features.pat
load net small.net
set MaxEpoch = 2
set Update_Cycle = 1
set Stop_At_Misclassified = -1
run learning
== stdout
KORVALIN 1.0, 
A neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.
Type 'help' for an overview of the commands.
[Warning]
Can't open '@DIR@/korvalin.cfg' (No such file or directory).
Using default configuration.
[end]
**** Reading commands from cmds... ****
korvalin> load pattern two_features.pat
 Loading pattern from ./two_features.pat...
[Pattern dimensions]
Pattern loaded from     : @DIR@/two_features.pat
Number of input features: 2
Number of classes       : 2
Number of patterns      : 3
Classified patterns     : Yes
korvalin> load net small.net
 Loading network from ./small.net...
[Netinfo]
Net loaded from       : @DIR@/small.net
Number of input units : 2
Number of rule units  : 3
Number of output units: 2
korvalin> set MaxEpoch = 2
korvalin> set Update_Cycle = 1
korvalin> set Stop_At_Misclassified = -1
korvalin> run learning
 Starting the learning process.

[Learning status]
Epoch                 : 1
 Misclassified patterns: 1(33.33%)
 Total error           : 1.000
 Mean error            : 0.333

[Fuzzy]
2
0	10
0.000000	3.333333	6.666667	1 0  small
3.333333	6.666667	10.000000	0 1  large

3
0	4
0.000000	1.000000	2.000000	1 0  small
1.000000	2.000000	3.000000	0 0  medium
2.000000	3.000000	4.000000	0 1  large

[Learning status]
Epoch                 : 2
 Misclassified patterns: 1(33.33%)
 Total error           : 1.000
 Mean error            : 0.333

[Fuzzy]
2
0	10
0.000000	3.333333	6.666667	1 0  small
3.333333	6.666667	10.000000	0 1  large

3
0	4
0.000000	1.000000	2.000000	1 0  small
1.000000	2.000000	3.000000	0 0  medium
2.000000	3.000000	4.000000	0 1  large

[Learning results]
Epoch                 : 2
 Misclassified patterns: 1(33.33%)
 Total error           : 1.000
 Mean error            : 0.333

[Fuzzy]
2
0	10
0.000000	3.333333	6.666667	1 0  small
3.333333	6.666667	10.000000	0 1  large

3
0	4
0.000000	1.000000	2.000000	1 0  small
1.000000	2.000000	3.000000	0 0  medium
2.000000	3.000000	4.000000	0 1  large

