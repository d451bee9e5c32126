Pattern files that are refused name the line where reading failed, or the
end of the file; huge counts fail as read errors without allocating. Missing
or invalid dimensions are refused whatever else the file holds. Unknown
keywords (a second DIMENSIONS among them, and lines of up to 79 characters)
are warnings, and the file still loads.
== args cmds
== file korvalin.cfg
== file comment_in_pattern.pat
DIMENSIONS
2 3
PATTERNS
1
1 2 0 % comment
0 1
END
== file fractional_class.pat
DIMENSIONS
2 3
PATTERNS
1
1 2 0 1.5 0
END
== file float_overflow.pat
DIMENSIONS
2 3
PATTERNS
1
1e39 2 0 0 1
END
== file negative_count.pat
DIMENSIONS
2 3
PATTERNS
-1
END
== file count_overflow.pat
DIMENSIONS
2 3
PATTERNS
99999999999
END
== file huge_count.pat
DIMENSIONS
2 3
PATTERNS
2000000000
1 2 0 0 1
END
== file no_line_end.pat noeol
DIMENSIONS
2 3
PATTERNS
1
1 2 0 0 1
END
== file long_keyword.pat
DIMENSIONS
2 3
@80*K@
END
== file long_name.pat
DIMENSIONS
2 3
NAME
@80*K@
END
== file long_label.pat
DIMENSIONS
2 3
VARNAMES
a
@30*b@
c
d
e
END
== file short_ranges.pat
DIMENSIONS
2 3
INRANGES
0 1
2
END
== file huge_inputs.pat
DIMENSIONS
100000000 3
PATTERNS
1
1 2 3
END
== file huge_classes.pat
DIMENSIONS
1 2000000000
END
== file empty.pat noeol

== file comment_only.pat
% comment
== file no_dimensions.pat
NAME
x
== file dimensions_on_one_line.pat
DIMENSIONS 4 3
END
== file no_inputs.pat
DIMENSIONS
0 2
END
== file negative_classes.pat
DIMENSIONS
2 -1
END
== file keywords.pat
# c
DIMENSIONS

4 3 % c
patterns
DIMENSIONS
4 3
@79*K@
VARNAMES
  @27*v@
b
c
d
e
f
g
END
== file cmds
load pattern comment_in_pattern.pat
load pattern fractional_class.pat
load pattern float_overflow.pat
load pattern negative_count.pat
load pattern count_overflow.pat
load pattern huge_count.pat
load pattern no_line_end.pat
load pattern long_keyword.pat
load pattern long_name.pat
load pattern long_label.pat
load pattern short_ranges.pat
load pattern huge_inputs.pat
load pattern huge_classes.pat
load pattern empty.pat
load pattern comment_only.pat
load pattern no_dimensions.pat
load pattern dimensions_on_one_line.pat
load pattern no_inputs.pat
load pattern negative_classes.pat
load pattern keywords.pat
show patterninfo
== stdout
KORVALIN 1.0, 
A neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.
Type 'help' for an overview of the commands.
 Loading configuration from ./korvalin.cfg...
**** Reading commands from cmds... ****
korvalin> load pattern comment_in_pattern.pat
 Loading pattern from ./comment_in_pattern.pat...
[Error]
 Loading pattern from @DIR@/comment_in_pattern.pat failed.
Line 5: "1 2 0 % comment"
[end]
korvalin> load pattern fractional_class.pat
 Loading pattern from ./fractional_class.pat...
[Error]
 Loading pattern from @DIR@/fractional_class.pat failed.
Line 5: "1 2 0 1.5 0"
[end]
korvalin> load pattern float_overflow.pat
 Loading pattern from ./float_overflow.pat...
[Error]
 Loading pattern from @DIR@/float_overflow.pat failed.
Line 5: "1e39 2 0 0 1"
[end]
korvalin> load pattern negative_count.pat
 Loading pattern from ./negative_count.pat...
[Error]
 Loading pattern from @DIR@/negative_count.pat failed.
Line 4: "-1"
[end]
korvalin> load pattern count_overflow.pat
 Loading pattern from ./count_overflow.pat...
[Error]
 Loading pattern from @DIR@/count_overflow.pat failed.
Line 4: "99999999999"
[end]
korvalin> load pattern huge_count.pat
 Loading pattern from ./huge_count.pat...
[Error]
 Loading pattern from @DIR@/huge_count.pat failed.
Line 6: "END"
[end]
korvalin> load pattern no_line_end.pat
 Loading pattern from ./no_line_end.pat...
[Error]
 Loading pattern from @DIR@/no_line_end.pat failed.
Unexpected end of file.
[end]
korvalin> load pattern long_keyword.pat
 Loading pattern from ./long_keyword.pat...
[Error]
 Loading pattern from @DIR@/long_keyword.pat failed.
Line 3: "@80*K@"
[end]
korvalin> load pattern long_name.pat
 Loading pattern from ./long_name.pat...
[Error]
 Loading pattern from @DIR@/long_name.pat failed.
Line 4: "@80*K@"
[end]
korvalin> load pattern long_label.pat
 Loading pattern from ./long_label.pat...
[Error]
 Loading pattern from @DIR@/long_label.pat failed.
Line 5: "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbb"
[end]
korvalin> load pattern short_ranges.pat
 Loading pattern from ./short_ranges.pat...
[Error]
 Loading pattern from @DIR@/short_ranges.pat failed.
Line 6: "END"
[end]
korvalin> load pattern huge_inputs.pat
 Loading pattern from ./huge_inputs.pat...
[Error]
No or invalid pattern dimensions specified!
 Loading pattern from @DIR@/huge_inputs.pat failed.
Line 2: "100000000 3"
[end]
korvalin> load pattern huge_classes.pat
 Loading pattern from ./huge_classes.pat...
[Error]
No or invalid pattern dimensions specified!
 Loading pattern from @DIR@/huge_classes.pat failed.
Line 2: "1 2000000000"
[end]
korvalin> load pattern empty.pat
 Loading pattern from ./empty.pat...
[Error]
No or invalid pattern dimensions specified!
 Loading pattern from @DIR@/empty.pat failed.
Unexpected end of file.
[end]
korvalin> load pattern comment_only.pat
 Loading pattern from ./comment_only.pat...
[Error]
No or invalid pattern dimensions specified!
 Loading pattern from @DIR@/comment_only.pat failed.
Unexpected end of file.
[end]
korvalin> load pattern no_dimensions.pat
 Loading pattern from ./no_dimensions.pat...
[Error]
No or invalid pattern dimensions specified!
 Loading pattern from @DIR@/no_dimensions.pat failed.
[end]
korvalin> load pattern dimensions_on_one_line.pat
 Loading pattern from ./dimensions_on_one_line.pat...
[Error]
No or invalid pattern dimensions specified!
 Loading pattern from @DIR@/dimensions_on_one_line.pat failed.
[end]
korvalin> load pattern no_inputs.pat
 Loading pattern from ./no_inputs.pat...
[Error]
No or invalid pattern dimensions specified!
 Loading pattern from @DIR@/no_inputs.pat failed.
[end]
korvalin> load pattern negative_classes.pat
 Loading pattern from ./negative_classes.pat...
[Error]
No or invalid pattern dimensions specified!
 Loading pattern from @DIR@/negative_classes.pat failed.
[end]
korvalin> load pattern keywords.pat
 Loading pattern from ./keywords.pat...
[Warning]
Unkwown keyword "patterns" ignored.
Unkwown keyword "DIMENSIONS" ignored.
Unkwown keyword "4 3" ignored.
Unkwown keyword "@79*K@" ignored.
[end]
korvalin> show patterninfo
[Patterninfo]
Pattern loaded from     : @DIR@/keywords.pat
Number of input features: 4
Number of classes       : 3
Number of patterns      : 0
Classified patterns     : Yes
Missing values          : 0


# Name of the pattern set:


# Input features
Input feature 1: 
	 Label: 'vvvvvvvvvvvvvvvvvvvvvvvvvvv'
	 Range: [0,0]

Input feature 2: 
	 Label: 'b'
	 Range: [0,0]

Input feature 3: 
	 Label: 'c'
	 Range: [0,0]

Input feature 4: 
	 Label: 'd'
	 Range: [0,0]


# Class information
Class 1: 
	 Label: 'e'
	 Number of patterns: 0

Class 2: 
	 Label: 'f'
	 Number of patterns: 0

Class 3: 
	 Label: 'g'
	 Number of patterns: 0

[end]
