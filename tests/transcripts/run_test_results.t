Testing writes the per-pattern results, with a header naming the pattern and
network files and the summary at the end, into a file named after the
network; the screen gets the same summary and a pointer to the file.
== copy two_features.pat
== copy small.net
== args cmds
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
korvalin> load net small.net
 Loading network from ./small.net...
korvalin> run test
 Propagating patterns...

[Test results]
 Misclassified patterns: 1(33.33%)
 Total error           : 1.000
 Mean error            : 0.333
[Information]
 
 See ./small.res for detailed test results.
[end]
== expect small.res
#
# KORVALIN 1.0 test result file
#
# Pattern tested: @DIR@/two_features.pat
# Network used  : @DIR@/small.net
#
# Pattern 1:
	Output: 1	0	
	Target: 1	0	
	Pattern error : 0
	Computed class: narrow (Class 1)
	Classification: correct

# Pattern 2:
	Output: 0	0	
	Target: 0	1	
	Pattern error : 1
	Computed class: undecided (no rule fired)
	Classification: undecided

# Pattern 3:
	Output: 1	0	
	Target: 1	0	
	Pattern error : 0
	Computed class: narrow (Class 1)
	Classification: correct

[Test results]
 Misclassified patterns: 1(33.33%)
 Total error           : 1.000
 Mean error            : 0.333

