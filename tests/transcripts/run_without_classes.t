Patterns without classes are tested but not learnt from; their results have
no target and no verdict.
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
== args cmds
== file cmds
load pattern plain.pat
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
korvalin> load pattern plain.pat
 Loading pattern from ./plain.pat...
korvalin> load net small.net
 Loading network from ./small.net...
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
== expect small.res
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

== files
cmds
plain.pat
small.net
small.res
