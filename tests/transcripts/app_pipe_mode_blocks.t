In pipe mode loading patterns and a configuration also writes their blocks.
== args --pipe cmds
== file small.pat
% two features
DIMENSIONS
2 2
VARNAMES
width
height
narrow
wide
PATTERNS
6
1.0 0.5  1 0
1.5 1.0  1 0
2.0 0.5  1 0
8.0 4.5  0 1
9.0 4.0  0 1
8.5 5.0  0 1
END
== file my.cfg
MaxEpoch = 7
FsIntersect_0.5 = yes
== file cmds
load pattern small.pat
load config my.cfg
== stdout
KORVALIN 1.0, 
A neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.
Type 'help' for an overview of the commands.
[Warning]
Can't open '@DIR@/korvalin.cfg' (No such file or directory).
Using default configuration.
[end]
**** Reading commands from cmds... ****
korvalin> load pattern small.pat
 Loading pattern from ./small.pat...
[Pattern dimensions]
Pattern loaded from     : @DIR@/small.pat
Number of input features: 2
Number of classes       : 2
Number of patterns      : 6
Classified patterns     : Yes
korvalin> load config my.cfg
 Loading configuration from ./my.cfg...
[Configuration]
 MaxEpoch = 7^@
 Stop_At_Percent = 0^@
 Stop_At_Misclassified = 0^@
 Update_Cycle = 5^@
 CreateLogFile = Yes^@
 sigma = 0.01^@
 sigma_a = 0.01^@
 sigma_b = 0.01^@
 sigma_c = 0.01^@
 FSetsPerVariable = 3^@
 FsIntersect_0.5 = Yes^@
 Learning_Weights = Fixed^@
 Learning_Rules = Simple^@
 AggregationFunc = WeightedSum^@

