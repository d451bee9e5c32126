A pattern file with an unknown keyword loads with a warning. show patterninfo describes the set: names or their
absence, ranges (the data's, widened but never narrowed by the given ones), missing values (1.4e-45 and 1e-45 both
read as the marker, which takes no part in a range; 1.4e-44 is a value) and classes. Fuzzy set counts set for one
input are reset by a new FSetsPerVariable and by a new pattern set. A network loads, shows its ranges, and is saved
with the header of a network file.
== copy two_features.pat
== copy app_files_warn.pat warn.pat
== stdin
load pattern warn.pat
show patterninfo
set NumberOfFSets[2] = 5
show NumberOfFSets
set FSetsPerVariable = 4
show NumberOfFSets
set NumberOfFSets[1] = 2
load pattern two_features.pat
show NumberOfFSets
== stdout noeol
korvalin> ^@ Loading pattern from ./warn.pat...
[Warning]
Unkwown keyword "FOO" ignored.
[end]
korvalin> ^@[Patterninfo]
Pattern loaded from     : @DIR@/warn.pat
Number of input features: 2
Number of classes       : 2
Number of patterns      : 4
Classified patterns     : Yes
Missing values          : 2 (missing values are denoted as '1.4013e-45')


# Name of the pattern set:


# Input features
Input feature 1: 
	 Label: No label defined.
	 Range: [1.5,2]

Input feature 2: 
	 Label: No label defined.
	 Range: [0,2]


# Class information
Class 1: 
	 Label: No label defined.
	 Number of patterns: 2

Class 2: 
	 Label: No label defined.
	 Number of patterns: 2

[end]
korvalin> ^@korvalin> ^@ NumberOfFSets = <3, 5>korvalin> ^@korvalin> ^@ NumberOfFSets = <4, 4>korvalin> ^@korvalin> ^@ Loading pattern from ./two_features.pat...
korvalin> ^@ NumberOfFSets = <4, 4>korvalin> ^@
