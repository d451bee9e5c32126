Feature ranges: the data's, widened (never narrowed) by given ranges in
either order. 1.4e-45 and 1e-45 both read as the missing-value marker, which
counts and takes no part in the range; values next to it do not. A feature
without any value gets an empty range, or its given range in order.
== args cmds
== file korvalin.cfg
== file data.pat
DIMENSIONS
2 3
PATTERNS
3
2 -4 1 0 0
-1 -2 1 0 0
5 -3 1 0 0
END
== file ranges_first.pat
DIMENSIONS
2 3
INRANGES
0 4 -3 -3
PATTERNS
3
2 -4 1 0 0
-1 -2 1 0 0
5 -3 1 0 0
END
== file ranges_after.pat
DIMENSIONS
2 3
PATTERNS
3
2 -4 1 0 0
-1 -2 1 0 0
5 -3 1 0 0
INRANGES
-3 10
-8 0
END
== file missing.pat
DIMENSIONS
2 3
PATTERNS
3
1.4e-45 7 1 0 0
-1e-50 1e-45 1 0 0
2.8e-45 1.4e-45 1 0 0
END
== file all_missing.pat
DIMENSIONS
2 3
PATTERNS
1
1.4e-45 1 1 0 0
END
== file all_missing_given.pat
DIMENSIONS
2 3
INRANGES
5 1 0 3
PATTERNS
1
1.4e-45 1 1 0 0
END
== file no_patterns.pat
DIMENSIONS
2 3
END
== file cmds
load pattern data.pat
show patterninfo
load pattern ranges_first.pat
show patterninfo
load pattern ranges_after.pat
show patterninfo
load pattern missing.pat
show patterninfo
load pattern all_missing.pat
show patterninfo
load pattern all_missing_given.pat
show patterninfo
load pattern no_patterns.pat
show patterninfo
== stdout
KORVALIN 1.0, 
A neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.
Type 'help' for an overview of the commands.
 Loading configuration from ./korvalin.cfg...
**** Reading commands from cmds... ****
korvalin> load pattern data.pat
 Loading pattern from ./data.pat...
korvalin> show patterninfo
[Patterninfo]
Pattern loaded from     : @DIR@/data.pat
Number of input features: 2
Number of classes       : 3
Number of patterns      : 3
Classified patterns     : Yes
Missing values          : 0


# Name of the pattern set:


# Input features
Input feature 1: 
	 Label: No label defined.
	 Range: [-1,5]

Input feature 2: 
	 Label: No label defined.
	 Range: [-4,-2]


# Class information
Class 1: 
	 Label: No label defined.
	 Number of patterns: 3

Class 2: 
	 Label: No label defined.
	 Number of patterns: 0

Class 3: 
	 Label: No label defined.
	 Number of patterns: 0

[end]
korvalin> load pattern ranges_first.pat
 Loading pattern from ./ranges_first.pat...
korvalin> show patterninfo
[Patterninfo]
Pattern loaded from     : @DIR@/ranges_first.pat
Number of input features: 2
Number of classes       : 3
Number of patterns      : 3
Classified patterns     : Yes
Missing values          : 0


# Name of the pattern set:


# Input features
Input feature 1: 
	 Label: No label defined.
	 Range: [-1,5]

Input feature 2: 
	 Label: No label defined.
	 Range: [-4,-2]


# Class information
Class 1: 
	 Label: No label defined.
	 Number of patterns: 3

Class 2: 
	 Label: No label defined.
	 Number of patterns: 0

Class 3: 
	 Label: No label defined.
	 Number of patterns: 0

[end]
korvalin> load pattern ranges_after.pat
 Loading pattern from ./ranges_after.pat...
korvalin> show patterninfo
[Patterninfo]
Pattern loaded from     : @DIR@/ranges_after.pat
Number of input features: 2
Number of classes       : 3
Number of patterns      : 3
Classified patterns     : Yes
Missing values          : 0


# Name of the pattern set:


# Input features
Input feature 1: 
	 Label: No label defined.
	 Range: [-3,10]

Input feature 2: 
	 Label: No label defined.
	 Range: [-8,0]


# Class information
Class 1: 
	 Label: No label defined.
	 Number of patterns: 3

Class 2: 
	 Label: No label defined.
	 Number of patterns: 0

Class 3: 
	 Label: No label defined.
	 Number of patterns: 0

[end]
korvalin> load pattern missing.pat
 Loading pattern from ./missing.pat...
korvalin> show patterninfo
[Patterninfo]
Pattern loaded from     : @DIR@/missing.pat
Number of input features: 2
Number of classes       : 3
Number of patterns      : 3
Classified patterns     : Yes
Missing values          : 3 (missing values are denoted as '1.4013e-45')


# Name of the pattern set:


# Input features
Input feature 1: 
	 Label: No label defined.
	 Range: [-0,2.8026e-45]

Input feature 2: 
	 Label: No label defined.
	 Range: [7,7]


# Class information
Class 1: 
	 Label: No label defined.
	 Number of patterns: 3

Class 2: 
	 Label: No label defined.
	 Number of patterns: 0

Class 3: 
	 Label: No label defined.
	 Number of patterns: 0

[end]
korvalin> load pattern all_missing.pat
 Loading pattern from ./all_missing.pat...
korvalin> show patterninfo
[Patterninfo]
Pattern loaded from     : @DIR@/all_missing.pat
Number of input features: 2
Number of classes       : 3
Number of patterns      : 1
Classified patterns     : Yes
Missing values          : 1 (missing values are denoted as '1.4013e-45')


# Name of the pattern set:


# Input features
Input feature 1: 
	 Label: No label defined.
	 Range: [0,0]

Input feature 2: 
	 Label: No label defined.
	 Range: [1,1]


# Class information
Class 1: 
	 Label: No label defined.
	 Number of patterns: 1

Class 2: 
	 Label: No label defined.
	 Number of patterns: 0

Class 3: 
	 Label: No label defined.
	 Number of patterns: 0

[end]
korvalin> load pattern all_missing_given.pat
 Loading pattern from ./all_missing_given.pat...
korvalin> show patterninfo
[Patterninfo]
Pattern loaded from     : @DIR@/all_missing_given.pat
Number of input features: 2
Number of classes       : 3
Number of patterns      : 1
Classified patterns     : Yes
Missing values          : 1 (missing values are denoted as '1.4013e-45')


# Name of the pattern set:


# Input features
Input feature 1: 
	 Label: No label defined.
	 Range: [1,5]

Input feature 2: 
	 Label: No label defined.
	 Range: [0,3]


# Class information
Class 1: 
	 Label: No label defined.
	 Number of patterns: 1

Class 2: 
	 Label: No label defined.
	 Number of patterns: 0

Class 3: 
	 Label: No label defined.
	 Number of patterns: 0

[end]
korvalin> load pattern no_patterns.pat
 Loading pattern from ./no_patterns.pat...
korvalin> show patterninfo
[Patterninfo]
Pattern loaded from     : @DIR@/no_patterns.pat
Number of input features: 2
Number of classes       : 3
Number of patterns      : 0
Classified patterns     : Yes
Missing values          : 0


# Name of the pattern set:


# Input features
Input feature 1: 
	 Label: No label defined.
	 Range: [0,0]

Input feature 2: 
	 Label: No label defined.
	 Range: [0,0]


# Class information
Class 1: 
	 Label: No label defined.
	 Number of patterns: 0

Class 2: 
	 Label: No label defined.
	 Number of patterns: 0

Class 3: 
	 Label: No label defined.
	 Number of patterns: 0

[end]
