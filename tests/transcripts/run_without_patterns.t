A pattern set without patterns: learning stops after one epoch (its
percentage is no number) and prints no status; the test summary shows zeros
rather than dividing by zero.
== copy small.net
== file none.pat
DIMENSIONS
2 2
END
== args cmds
== file cmds
load pattern none.pat
load net small.net
run learning
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
korvalin> load pattern none.pat
 Loading pattern from ./none.pat...
korvalin> load net small.net
 Loading network from ./small.net...
korvalin> run learning
 Starting the learning process.

korvalin> run test
 Propagating patterns...

[Test results]
 Misclassified patterns: 0(0.00%)
 Total error           : 0.000
 Mean error            : 0.000
[Information]
 
 See ./small.res for detailed test results.
[end]
== expect small.res
#
# KORVALIN 1.0 test result file
#
# Pattern tested: @DIR@/none.pat
# Network used  : @DIR@/small.net
#
[Test results]
 Misclassified patterns: 0(0.00%)
 Total error           : 0.000
 Mean error            : 0.000

