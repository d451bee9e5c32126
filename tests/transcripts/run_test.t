Testing writes the per-pattern results, with a header naming the pattern and
network files and the summary at the end, into a file named after the
network; the screen gets the same summary and a pointer to the file.
Patterns without classes cannot be learnt from but are tested; their results
have no target and no verdict. A set without patterns stops learning after one
epoch (its percentage is no number) without a status, and its test summary
shows zeros rather than dividing by zero.
== copy two_features.pat
== copy small.net
== file plain.pat
DIMENSIONS
2 2
NOCLASS
PATTERNS
2
1.0 0.5
9.0 4.5
END
== file none.pat
DIMENSIONS
2 2
PATTERNS
0
END
== args cmds
== file cmds
load pattern two_features.pat
load net small.net
run test
! mv small.res classes.res
load pattern plain.pat
run learning
run test
! mv small.res plain.res
load pattern none.pat
run learning
run test
== expect classes.res
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

== expect plain.res
#
# KORVALIN 1.0 test result file
#
# Pattern tested: @DIR@/plain.pat
# Network used  : @DIR@/small.net
#
# Pattern 1:
	Output: 1	0	
	Computed class: narrow (Class 1)

# Pattern 2:
	Output: 0	0	
	Computed class: undecided (no rule fired)

[Test results]
 Misclassified patterns: 0(0.00%)
 Total error           : 0.000
 Mean error            : 0.000

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
korvalin> ! mv small.res classes.res
korvalin> load pattern plain.pat
 Loading pattern from ./plain.pat...
korvalin> run learning
[Error]
Can't execute 'run learning': pattern set contains no class information. 
[end]
korvalin> run test
 Propagating patterns...

[Test results]
 Misclassified patterns: 0(0.00%)
 Total error           : 0.000
 Mean error            : 0.000
[Information]
 
 See ./small.res for detailed test results.
[end]
korvalin> ! mv small.res plain.res
korvalin> load pattern none.pat
 Loading pattern from ./none.pat...
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
