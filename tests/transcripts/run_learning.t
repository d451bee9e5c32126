Commands piped in without pipe mode learn in the foreground. The status is printed after epoch 1 and every
Update_Cycle epochs, never with a cycle of 0; the final block repeats the last epoch. Learning stops at the first
epoch whose misclassified patterns are at most Stop_At_Misclassified, or whose percentage is at most Stop_At_Percent
(exactly 6.00% here), or at MaxEpoch. With output redirected no "Net was trained" message appears.
== copy iris.pat
== copy iris_rules.net iris.net
== copy run_learning_korvalin.cfg korvalin.cfg
== stdin
load pattern iris.pat
load net iris.net
run learning
load net iris.net
set Stop_At_Misclassified = 10
set Update_Cycle = 0
run learning
load net iris.net
set Stop_At_Misclassified = -1
set Stop_At_Percent = 6
run learning
== stdout noeol
 Loading configuration from ./korvalin.cfg...
korvalin> ^@ Loading pattern from ./iris.pat...
korvalin> ^@ Loading network from ./iris.net...
korvalin> ^@ Starting the learning process.

 Epoch:    1, total error:  35.60,   11(7.33%) misclassifications.
 Epoch:    4, total error:  25.77,   10(6.67%) misclassifications.
 Epoch:    8, total error:  21.15,    5(3.33%) misclassifications.
[Learning results]
 Epoch:    9, total error:  20.59,    5(3.33%) misclassifications.
korvalin> ^@ Loading network from ./iris.net...
korvalin> ^@korvalin> ^@korvalin> ^@ Starting the learning process.

[Learning results]
 Epoch:    2, total error:  31.36,   10(6.67%) misclassifications.
korvalin> ^@ Loading network from ./iris.net...
korvalin> ^@korvalin> ^@korvalin> ^@ Starting the learning process.

[Learning results]
 Epoch:    5, total error:  23.89,    9(6.00%) misclassifications.
korvalin> ^@
