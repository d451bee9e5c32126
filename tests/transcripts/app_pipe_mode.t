In pipe mode (-p or --pipe as the first argument) loading a pattern set or a network, and creating a
network, also write their blocks; the learning status takes its long form, followed by the partitions of the network;
the test summary names the result file itself and no pointer follows, and a result file that cannot be created is
reported first, the summary then naming no file.
== copy two_features.pat
== args --pipe cmds
== file cmds
load pattern two_features.pat
set MaxEpoch = 1
set Update_Cycle = 0
set Stop_At_Percent = -1
set Stop_At_Misclassified = -1
create net -r3
run learning
run test
! rm two_features.res
! mkdir two_features.res
run test
== stdout
**** Reading commands from cmds... ****
korvalin> load pattern two_features.pat
 Loading pattern from ./two_features.pat...
[Pattern dimensions]
Pattern loaded from     : @DIR@/two_features.pat
Number of input features: 2
Number of classes       : 2
Number of patterns      : 3
Classified patterns     : Yes
korvalin> set MaxEpoch = 1
korvalin> set Update_Cycle = 0
korvalin> set Stop_At_Percent = -1
korvalin> set Stop_At_Misclassified = -1
korvalin> create net -r3
 Creating initial rule base...^@done (2 rules created).
 Now evaluating the rules...^@done.
[Netinfo]
Net loaded from       : @DIR@/two_features.net
Number of input units : 2
Number of rule units  : 2
Number of output units: 2
[Information]
 
 See ./two_features.log for details about net creation.
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

3
0	5
0.000000	1.250000	2.500000	1 0  small
1.250000	2.500000	3.750000	0 0  medium
2.500000	3.750000	5.000000	0 1  large

korvalin> run test
 Propagating patterns...

[Test results]
 Misclassified patterns: 0(0.00%)
 Total error           : 0.000
 Mean error            : 0.000
 Result file           : ./two_features.res
korvalin> ! rm two_features.res
korvalin> ! mkdir two_features.res
korvalin> run test
[Error]
Can't create '@DIR@/two_features.res' (Is a directory).
[end]
 Propagating patterns...

[Test results]
 Misclassified patterns: 0(0.00%)
 Total error           : 0.000
 Mean error            : 0.000
