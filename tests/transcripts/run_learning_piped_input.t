Commands piped in without pipe mode learn in the foreground: the test that follows sees the trained network, and
nothing is lost at the end of input.
== copy two_features.pat
== copy small.net
== stdin
load pattern two_features.pat
load net small.net
set MaxEpoch = 2
set Stop_At_Misclassified = -1
run learning
run test
== stdout noeol
korvalin> ^@ Loading pattern from ./two_features.pat...
korvalin> ^@ Loading network from ./small.net...
korvalin> ^@korvalin> ^@korvalin> ^@ Starting the learning process.

 Epoch:    1, total error:   1.00,    1(33.33%) misclassifications.
[Learning results]
 Epoch:    2, total error:   1.00,    1(33.33%) misclassifications.
korvalin> ^@ Propagating patterns...

[Test results]
 Misclassified patterns: 1(33.33%)
 Total error           : 1.000
 Mean error            : 0.333
[Information]
 
 See ./small.res for detailed test results.
[end]
korvalin> ^@
