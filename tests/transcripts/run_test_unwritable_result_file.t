A result file that cannot be created is reported first; the test still runs
and prints its summary, which then names no file.
== copy two_features.pat
== copy small.net
== mkdir small.res
== args -p cmds
== file cmds
load pattern two_features.pat
load net small.net
run test
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
korvalin> run test
[Error]
Can't create '@DIR@/small.res' (Is a directory).
[end]
 Propagating patterns...

[Test results]
 Misclassified patterns: 1(33.33%)
 Total error           : 1.000
 Mean error            : 0.333
