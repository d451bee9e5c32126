In pipe mode (-p or --pipe as the first argument) loading a pattern set or a network, and creating a network, also
write their blocks; the learning status takes its long form, followed by the partitions of the network; the test
summary names the result file itself and no pointer follows.
== copy one_feature.pat
== args --pipe cmds
== file cmds
load pattern one_feature.pat
set MaxEpoch = 1
set Update_Cycle = 0
create net -r3
run learning
run test
== stdout
**** Reading commands from cmds... ****
korvalin> load pattern one_feature.pat
 Loading pattern from ./one_feature.pat...
[Pattern dimensions]
Pattern loaded from     : @DIR@/one_feature.pat
Number of input features: 1
Number of classes       : 2
Number of patterns      : 3
Classified patterns     : Yes
korvalin> set MaxEpoch = 1
korvalin> set Update_Cycle = 0
korvalin> create net -r3
 Creating initial rule base...^@done (2 rules created).
 Now evaluating the rules...^@done.
[Netinfo]
Net loaded from       : @DIR@/one_feature.net
Number of input units : 1
Number of rule units  : 2
Number of output units: 2
[Information]
 
 See ./one_feature.log for details about net creation.
[end]
korvalin> run learning
 Starting the learning process.

[Learning results]
Epoch                 : 1
 Misclassified patterns: 0(0.00%)
 Total error           : 0.000
 Mean error            : 0.000

[Fuzzy]
3
0	10
0.000000	2.500000	5.000000	1 0  small
2.500000	5.000000	7.500000	0 0  medium
5.000000	7.500000	10.000000	0 1  large

korvalin> run test
 Propagating patterns...

[Test results]
 Misclassified patterns: 0(0.00%)
 Total error           : 0.000
 Mean error            : 0.000
 Result file           : ./one_feature.res
