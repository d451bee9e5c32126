Learning stops at the first epoch whose misclassified patterns are at most
Stop_At_Misclassified (10: epoch 2), or whose percentage is at most
Stop_At_Percent (6: epoch 5, exactly 6.00%); with MaxEpoch 1 exactly one epoch
runs whatever the other criteria. The first run, with no criteria but
MaxEpoch, shows the figures of every epoch.
== copy iris.pat
== copy iris_rules.net iris.net
== args cmds
== file korvalin.cfg
Update_Cycle = 1
MaxEpoch = 10
Stop_At_Misclassified = -1
Stop_At_Percent = -1
== file cmds
load pattern iris.pat
load net iris.net
run learning
load net iris.net
set Stop_At_Misclassified = 10
run learning
load net iris.net
set Stop_At_Misclassified = -1
set Stop_At_Percent = 6
run learning
load net iris.net
set Stop_At_Percent = 100
set MaxEpoch = 1
run learning
== stdout
KORVALIN 1.0, 
A neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.
Type 'help' for an overview of the commands.
 Loading configuration from ./korvalin.cfg...
**** Reading commands from cmds... ****
korvalin> load pattern iris.pat
 Loading pattern from ./iris.pat...
korvalin> load net iris.net
 Loading network from ./iris.net...
korvalin> run learning
 Starting the learning process.

 Epoch:    1, total error:  35.60,   11(7.33%) misclassifications.
 Epoch:    2, total error:  31.36,   10(6.67%) misclassifications.
 Epoch:    3, total error:  28.19,   12(8.00%) misclassifications.
 Epoch:    4, total error:  25.77,   10(6.67%) misclassifications.
 Epoch:    5, total error:  23.89,    9(6.00%) misclassifications.
 Epoch:    6, total error:  22.46,    7(4.67%) misclassifications.
 Epoch:    7, total error:  21.72,    5(3.33%) misclassifications.
 Epoch:    8, total error:  21.15,    5(3.33%) misclassifications.
 Epoch:    9, total error:  20.59,    5(3.33%) misclassifications.
 Epoch:   10, total error:  20.14,    5(3.33%) misclassifications.
[Learning results]
 Epoch:   10, total error:  20.14,    5(3.33%) misclassifications.
korvalin> load net iris.net
 Loading network from ./iris.net...
korvalin> set Stop_At_Misclassified = 10
korvalin> run learning
 Starting the learning process.

 Epoch:    1, total error:  35.60,   11(7.33%) misclassifications.
 Epoch:    2, total error:  31.36,   10(6.67%) misclassifications.
[Learning results]
 Epoch:    2, total error:  31.36,   10(6.67%) misclassifications.
korvalin> load net iris.net
 Loading network from ./iris.net...
korvalin> set Stop_At_Misclassified = -1
korvalin> set Stop_At_Percent = 6
korvalin> run learning
 Starting the learning process.

 Epoch:    1, total error:  35.60,   11(7.33%) misclassifications.
 Epoch:    2, total error:  31.36,   10(6.67%) misclassifications.
 Epoch:    3, total error:  28.19,   12(8.00%) misclassifications.
 Epoch:    4, total error:  25.77,   10(6.67%) misclassifications.
 Epoch:    5, total error:  23.89,    9(6.00%) misclassifications.
[Learning results]
 Epoch:    5, total error:  23.89,    9(6.00%) misclassifications.
korvalin> load net iris.net
 Loading network from ./iris.net...
korvalin> set Stop_At_Percent = 100
korvalin> set MaxEpoch = 1
korvalin> run learning
 Starting the learning process.

 Epoch:    1, total error:  35.60,   11(7.33%) misclassifications.
[Learning results]
 Epoch:    1, total error:  35.60,   11(7.33%) misclassifications.
