show config lists every parameter; show patterninfo needs a pattern set and
then describes it: names or their absence, ranges, missing values, classes.
== args cmds
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
== file unnamed.pat
DIMENSIONS
1 2
NOCLASS
PATTERNS
2
1e-45 0.25
END
== file cmds
show patterninfo
set CreateLogFile = n
show config
load pattern small.pat
show patterninfo
load pattern unnamed.pat
show patterninfo
== stdout
KORVALIN 1.0, 
A neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.
Type 'help' for an overview of the commands.
[Warning]
Can't open '@DIR@/korvalin.cfg' (No such file or directory).
Using default configuration.
[end]
**** Reading commands from cmds... ****
korvalin> show patterninfo
[Error]
 Can't show pattern info. No pattern file loaded.
[end]
korvalin> set CreateLogFile = n
korvalin> show config
[Configuration]
 MaxEpoch = 100^@
 Stop_At_Percent = 0^@
 Stop_At_Misclassified = 0^@
 Update_Cycle = 5^@
 CreateLogFile = No^@
 sigma = 0.01^@
 sigma_a = 0.01^@
 sigma_b = 0.01^@
 sigma_c = 0.01^@
 FSetsPerVariable = 3^@
 FsIntersect_0.5 = No^@
 Learning_Weights = Fixed^@
 Learning_Rules = Simple^@
 AggregationFunc = WeightedSum^@

korvalin> load pattern small.pat
 Loading pattern from ./small.pat...
korvalin> show patterninfo
[Patterninfo]
Pattern loaded from     : @DIR@/small.pat
Number of input features: 2
Number of classes       : 2
Number of patterns      : 6
Classified patterns     : Yes
Missing values          : 0


# Name of the pattern set:


# Input features
Input feature 1: 
	 Label: 'width'
	 Range: [1,9]

Input feature 2: 
	 Label: 'height'
	 Range: [0.5,5]


# Class information
Class 1: 
	 Label: 'narrow'
	 Number of patterns: 3

Class 2: 
	 Label: 'wide'
	 Number of patterns: 3

[end]
korvalin> load pattern unnamed.pat
 Loading pattern from ./unnamed.pat...
korvalin> show patterninfo
[Patterninfo]
Pattern loaded from     : @DIR@/unnamed.pat
Number of input features: 1
Number of classes       : 2
Number of patterns      : 2
Classified patterns     : No
Missing values          : 1 (missing values are denoted as '1.4013e-45')


# Name of the pattern set:


# Input features
Input feature 1: 
	 Label: No label defined.
	 Range: [0.25,0.25]


# Class information
Not available (unclassified patterns).
[end]
