Network files that are refused say why, and where reading failed when it
did; huge declarations fail without allocating. A file without names gets
default ones; unknown keywords are warnings. The last network that loaded
stays.
== args cmds
== file korvalin.cfg
== file no_parameters.net
% comment
VARNAMES
a
b
END
== file no_rules.net
# hand-written network: two inputs, three rules, two classes
% This are the network parameters:
% <Input dimension> <number of rules> <output dimension> <max. rules>
PARAMETERS
3 0 2 10

VARNAMES
width
height
narrow
wide

% The aggregation function to be used:
USESUM

% This are the parameters of the (triangular) fuzzy sets:
% <a>   <b>   <c>    <LeftShouldered>  <RightShouldered>  [name]
FUZZY
2
0.000000	10.000000
0.000000	3.333333	6.666667	1 0  small
3.333333	6.666667	10.000000	0 1  large

3
0.000000	4.000000
0.000000	1.000000	2.000000	1 0  small
1.000000	2.000000	3.000000	0 0  medium
2.000000	3.000000	4.000000	0 1  large

% This is the connection matrix:
MATRIX
1	2	0	
1	3	2	

% This are the conclusion weights:
% For each rule: <output class> <conclusion weight>
WEIGHTS
   1   1.000000
   2   0.750000
   2   1.000000

END
== file huge_classes.net
# hand-written network: two inputs, three rules, two classes
% This are the network parameters:
% <Input dimension> <number of rules> <output dimension> <max. rules>
PARAMETERS
2 3 2000000000 5

VARNAMES
width
height
narrow
wide

% The aggregation function to be used:
USESUM

% This are the parameters of the (triangular) fuzzy sets:
% <a>   <b>   <c>    <LeftShouldered>  <RightShouldered>  [name]
FUZZY
2
0.000000	10.000000
0.000000	3.333333	6.666667	1 0  small
3.333333	6.666667	10.000000	0 1  large

3
0.000000	4.000000
0.000000	1.000000	2.000000	1 0  small
1.000000	2.000000	3.000000	0 0  medium
2.000000	3.000000	4.000000	0 1  large

% This is the connection matrix:
MATRIX
1	2	0	
1	3	2	

% This are the conclusion weights:
% For each rule: <output class> <conclusion weight>
WEIGHTS
   1   1.000000
   2   0.750000
   2   1.000000

END
== file huge_rules.net
# hand-written network: two inputs, three rules, two classes
% This are the network parameters:
% <Input dimension> <number of rules> <output dimension> <max. rules>
PARAMETERS
2 2000000000 2 5

VARNAMES
width
height
narrow
wide

% The aggregation function to be used:
USESUM

% This are the parameters of the (triangular) fuzzy sets:
% <a>   <b>   <c>    <LeftShouldered>  <RightShouldered>  [name]
FUZZY
2
0.000000	10.000000
0.000000	3.333333	6.666667	1 0  small
3.333333	6.666667	10.000000	0 1  large

3
0.000000	4.000000
0.000000	1.000000	2.000000	1 0  small
1.000000	2.000000	3.000000	0 0  medium
2.000000	3.000000	4.000000	0 1  large

% This is the connection matrix:
MATRIX
1	2	0	
1	3	2	

% This are the conclusion weights:
% For each rule: <output class> <conclusion weight>
WEIGHTS
   1   1.000000
   2   0.750000
   2   1.000000

END
== file huge_inputs.net
# hand-written network: two inputs, three rules, two classes
% This are the network parameters:
% <Input dimension> <number of rules> <output dimension> <max. rules>
PARAMETERS
2000000000 3 2 5

VARNAMES
width
height
narrow
wide

% The aggregation function to be used:
USESUM

% This are the parameters of the (triangular) fuzzy sets:
% <a>   <b>   <c>    <LeftShouldered>  <RightShouldered>  [name]
FUZZY
2
0.000000	10.000000
0.000000	3.333333	6.666667	1 0  small
3.333333	6.666667	10.000000	0 1  large

3
0.000000	4.000000
0.000000	1.000000	2.000000	1 0  small
1.000000	2.000000	3.000000	0 0  medium
2.000000	3.000000	4.000000	0 1  large

% This is the connection matrix:
MATRIX
1	2	0	
1	3	2	

% This are the conclusion weights:
% For each rule: <output class> <conclusion weight>
WEIGHTS
   1   1.000000
   2   0.750000
   2   1.000000

END
== file cut_after_parameters.net
PARAMETERS
1000000 1 1000000 1
== file no_fuzzy.net
# hand-written network: two inputs, three rules, two classes
% This are the network parameters:
% <Input dimension> <number of rules> <output dimension> <max. rules>
PARAMETERS
2	3	2	5

VARNAMES
width
height
narrow
wide

% The aggregation function to be used:
USESUM

% This are the parameters of the (triangular) fuzzy sets:
% <a>   <b>   <c>    <LeftShouldered>  <RightShouldered>  [name]
FUZZ
2
0.000000	10.000000
0.000000	3.333333	6.666667	1 0  small
3.333333	6.666667	10.000000	0 1  large

3
0.000000	4.000000
0.000000	1.000000	2.000000	1 0  small
1.000000	2.000000	3.000000	0 0  medium
2.000000	3.000000	4.000000	0 1  large

% This is the connection matrix:
MATRIX
1	2	0	
1	3	2	

% This are the conclusion weights:
% For each rule: <output class> <conclusion weight>
WEIGHTS
   1   1.000000
   2   0.750000
   2   1.000000

END
== file no_matrix.net
# hand-written network: two inputs, three rules, two classes
% This are the network parameters:
% <Input dimension> <number of rules> <output dimension> <max. rules>
PARAMETERS
2	3	2	5

VARNAMES
width
height
narrow
wide

% The aggregation function to be used:
USESUM

% This are the parameters of the (triangular) fuzzy sets:
% <a>   <b>   <c>    <LeftShouldered>  <RightShouldered>  [name]
FUZZY
2
0.000000	10.000000
0.000000	3.333333	6.666667	1 0  small
3.333333	6.666667	10.000000	0 1  large

3
0.000000	4.000000
0.000000	1.000000	2.000000	1 0  small
1.000000	2.000000	3.000000	0 0  medium
2.000000	3.000000	4.000000	0 1  large

% This is the connection matrix:
MATRIXX
1	2	0	
1	3	2	

% This are the conclusion weights:
% For each rule: <output class> <conclusion weight>
WEIGHTS
   1   1.000000
   2   0.750000
   2   1.000000

END
== file no_weights.net
# hand-written network: two inputs, three rules, two classes
% This are the network parameters:
% <Input dimension> <number of rules> <output dimension> <max. rules>
PARAMETERS
2	3	2	5

VARNAMES
width
height
narrow
wide

% The aggregation function to be used:
USESUM

% This are the parameters of the (triangular) fuzzy sets:
% <a>   <b>   <c>    <LeftShouldered>  <RightShouldered>  [name]
FUZZY
2
0.000000	10.000000
0.000000	3.333333	6.666667	1 0  small
3.333333	6.666667	10.000000	0 1  large

3
0.000000	4.000000
0.000000	1.000000	2.000000	1 0  small
1.000000	2.000000	3.000000	0 0  medium
2.000000	3.000000	4.000000	0 1  large

% This is the connection matrix:
MATRIX
1	2	0	
1	3	2	

% This are the conclusion weights:
% For each rule: <output class> <conclusion weight>
WEIGHT
   1   1.000000
   2   0.750000
   2   1.000000

END
== file set_out_of_range.net
# hand-written network: two inputs, three rules, two classes
% This are the network parameters:
% <Input dimension> <number of rules> <output dimension> <max. rules>
PARAMETERS
2	3	2	5

VARNAMES
width
height
narrow
wide

% The aggregation function to be used:
USESUM

% This are the parameters of the (triangular) fuzzy sets:
% <a>   <b>   <c>    <LeftShouldered>  <RightShouldered>  [name]
FUZZY
2
0.000000	10.000000
0.000000	3.333333	6.666667	1 0  small
3.333333	6.666667	10.000000	0 1  large

3
0.000000	4.000000
0.000000	1.000000	2.000000	1 0  small
1.000000	2.000000	3.000000	0 0  medium
2.000000	3.000000	4.000000	0 1  large

% This is the connection matrix:
MATRIX
1	2	0	
1	4	2	

% This are the conclusion weights:
% For each rule: <output class> <conclusion weight>
WEIGHTS
   1   1.000000
   2   0.750000
   2   1.000000

END
== file class_too_large.net
# hand-written network: two inputs, three rules, two classes
% This are the network parameters:
% <Input dimension> <number of rules> <output dimension> <max. rules>
PARAMETERS
2	3	2	5

VARNAMES
width
height
narrow
wide

% The aggregation function to be used:
USESUM

% This are the parameters of the (triangular) fuzzy sets:
% <a>   <b>   <c>    <LeftShouldered>  <RightShouldered>  [name]
FUZZY
2
0.000000	10.000000
0.000000	3.333333	6.666667	1 0  small
3.333333	6.666667	10.000000	0 1  large

3
0.000000	4.000000
0.000000	1.000000	2.000000	1 0  small
1.000000	2.000000	3.000000	0 0  medium
2.000000	3.000000	4.000000	0 1  large

% This is the connection matrix:
MATRIX
1	2	0	
1	3	2	

% This are the conclusion weights:
% For each rule: <output class> <conclusion weight>
WEIGHTS
   1   1.000000
   3   0.750000
   2   1.000000

END
== file class_zero.net
# hand-written network: two inputs, three rules, two classes
% This are the network parameters:
% <Input dimension> <number of rules> <output dimension> <max. rules>
PARAMETERS
2	3	2	5

VARNAMES
width
height
narrow
wide

% The aggregation function to be used:
USESUM

% This are the parameters of the (triangular) fuzzy sets:
% <a>   <b>   <c>    <LeftShouldered>  <RightShouldered>  [name]
FUZZY
2
0.000000	10.000000
0.000000	3.333333	6.666667	1 0  small
3.333333	6.666667	10.000000	0 1  large

3
0.000000	4.000000
0.000000	1.000000	2.000000	1 0  small
1.000000	2.000000	3.000000	0 0  medium
2.000000	3.000000	4.000000	0 1  large

% This is the connection matrix:
MATRIX
1	2	0	
1	3	2	

% This are the conclusion weights:
% For each rule: <output class> <conclusion weight>
WEIGHTS
   1   1.000000
   0   0.750000
   2   1.000000

END
== file no_sets.net
# hand-written network: two inputs, three rules, two classes
% This are the network parameters:
% <Input dimension> <number of rules> <output dimension> <max. rules>
PARAMETERS
2	3	2	5

VARNAMES
width
height
narrow
wide

% The aggregation function to be used:
USESUM

% This are the parameters of the (triangular) fuzzy sets:
% <a>   <b>   <c>    <LeftShouldered>  <RightShouldered>  [name]
FUZZY
0
0.000000	10.000000
0.000000	3.333333	6.666667	1 0  small
3.333333	6.666667	10.000000	0 1  large

3
0.000000	4.000000
0.000000	1.000000	2.000000	1 0  small
1.000000	2.000000	3.000000	0 0  medium
2.000000	3.000000	4.000000	0 1  large

% This is the connection matrix:
MATRIX
1	2	0	
1	3	2	

% This are the conclusion weights:
% For each rule: <output class> <conclusion weight>
WEIGHTS
   1   1.000000
   2   0.750000
   2   1.000000

END
== file cut_in_weights.net noeol
# hand-written network: two inputs, three rules, two classes
% This are the network parameters:
% <Input dimension> <number of rules> <output dimension> <max. rules>
PARAMETERS
2	3	2	5

VARNAMES
width
height
narrow
wide

% The aggregation function to be used:
USESUM

% This are the parameters of the (triangular) fuzzy sets:
% <a>   <b>   <c>    <LeftShouldered>  <RightShouldered>  [name]
FUZZY
2
0.000000	10.000000
0.000000	3.333333	6.666667	1 0  small
3.333333	6.666667	10.000000	0 1  large

3
0.000000	4.000000
0.000000	1.000000	2.000000	1 0  small
1.000000	2.000000	3.000000	0 0  medium
2.000000	3.000000	4.000000	0 1  large

% This is the connection matrix:
MATRIX
1	2	0	
1	3	2	

% This are the conclusion weights:
% For each rule: <output class> <conclusion weight>
WEIGHTS
   1   1.000
== file long_name.net
# hand-written network: two inputs, three rules, two classes
% This are the network parameters:
% <Input dimension> <number of rules> <output dimension> <max. rules>
PARAMETERS
2	3	2	5

VARNAMES
width
hhhhhhhhhhhhhhhhhhhhhhhhhhhhhh
narrow
wide

% The aggregation function to be used:
USESUM

% This are the parameters of the (triangular) fuzzy sets:
% <a>   <b>   <c>    <LeftShouldered>  <RightShouldered>  [name]
FUZZY
2
0.000000	10.000000
0.000000	3.333333	6.666667	1 0  small
3.333333	6.666667	10.000000	0 1  large

3
0.000000	4.000000
0.000000	1.000000	2.000000	1 0  small
1.000000	2.000000	3.000000	0 0  medium
2.000000	3.000000	4.000000	0 1  large

% This is the connection matrix:
MATRIX
1	2	0	
1	3	2	

% This are the conclusion weights:
% For each rule: <output class> <conclusion weight>
WEIGHTS
   1   1.000000
   2   0.750000
   2   1.000000

END
== file bad_weight.net
# hand-written network: two inputs, three rules, two classes
% This are the network parameters:
% <Input dimension> <number of rules> <output dimension> <max. rules>
PARAMETERS
2	3	2	5

VARNAMES
width
height
narrow
wide

% The aggregation function to be used:
USESUM

% This are the parameters of the (triangular) fuzzy sets:
% <a>   <b>   <c>    <LeftShouldered>  <RightShouldered>  [name]
FUZZY
2
0.000000	10.000000
0.000000	3.333333	6.666667	1 0  small
3.333333	6.666667	10.000000	0 1  large

3
0.000000	4.000000
0.000000	1.000000	2.000000	1 0  small
1.000000	2.000000	3.000000	0 0  medium
2.000000	3.000000	4.000000	0 1  large

% This is the connection matrix:
MATRIX
1	2	0	
1	3	2	

% This are the conclusion weights:
% For each rule: <output class> <conclusion weight>
WEIGHTS
   1   1.000000
   2   x
   2   1.000000

END
== file zero_maximum.net
# hand-written network: two inputs, three rules, two classes
% This are the network parameters:
% <Input dimension> <number of rules> <output dimension> <max. rules>
PARAMETERS
2 3 2 0

VARNAMES
width
height
narrow
wide

% The aggregation function to be used:
USESUM

% This are the parameters of the (triangular) fuzzy sets:
% <a>   <b>   <c>    <LeftShouldered>  <RightShouldered>  [name]
FUZZY
2
0.000000	10.000000
0.000000	3.333333	6.666667	1 0  small
3.333333	6.666667	10.000000	0 1  large

3
0.000000	4.000000
0.000000	1.000000	2.000000	1 0  small
1.000000	2.000000	3.000000	0 0  medium
2.000000	3.000000	4.000000	0 1  large

% This is the connection matrix:
MATRIX
1	2	0	
1	3	2	

% This are the conclusion weights:
% For each rule: <output class> <conclusion weight>
WEIGHTS
   1   1.000000
   2   0.750000
   2   1.000000

END
== file unnamed.net
# hand-written network: two inputs, three rules, two classes
% This are the network parameters:
% <Input dimension> <number of rules> <output dimension> <max. rules>
PARAMETERS
2	3	2	5

FOO

% The aggregation function to be used:
USESUM

% This are the parameters of the (triangular) fuzzy sets:
% <a>   <b>   <c>    <LeftShouldered>  <RightShouldered>  [name]
FUZZY
2
0.000000	10.000000
0.000000	3.333333	6.666667	1 0  small
3.333333	6.666667	10.000000	0 1  large

3
0.000000	4.000000
0.000000	1.000000	2.000000	1 0  small
1.000000	2.000000	3.000000	0 0  medium
2.000000	3.000000	4.000000	0 1  large

% This is the connection matrix:
NAMES
BAR
MATRIX
1	2	0	
1	3	2	

% This are the conclusion weights:
% For each rule: <output class> <conclusion weight>
WEIGHTS
   1   1.000000
   2   0.750000
   2   1.000000

END
== file cmds
load net no_parameters.net
load net no_rules.net
load net huge_classes.net
load net huge_rules.net
load net huge_inputs.net
load net cut_after_parameters.net
load net no_fuzzy.net
load net no_matrix.net
load net no_weights.net
load net set_out_of_range.net
load net class_too_large.net
load net class_zero.net
load net no_sets.net
load net cut_in_weights.net
load net long_name.net
load net bad_weight.net
load net zero_maximum.net
load net unnamed.net
show inputnames
show classnames
show rules
== stdout
KORVALIN 1.0, 
A neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.
Type 'help' for an overview of the commands.
 Loading configuration from ./korvalin.cfg...
**** Reading commands from cmds... ****
korvalin> load net no_parameters.net
 Loading network from ./no_parameters.net...
[Error]
Net parameter section missing!
 Loading net from @DIR@/no_parameters.net failed.
[end]
korvalin> load net no_rules.net
 Loading network from ./no_rules.net...
[Error]
No or invalid net parameters specified!
 Loading net from @DIR@/no_rules.net failed.
[end]
korvalin> load net huge_classes.net
 Loading network from ./huge_classes.net...
[Error]
No or invalid net parameters specified!
 Loading net from @DIR@/huge_classes.net failed.
Line 5: "2 3 2000000000 5"
[end]
korvalin> load net huge_rules.net
 Loading network from ./huge_rules.net...
[Error]
 Loading net from @DIR@/huge_rules.net failed.
Line 35: "% This are the conclusion weights:"
[end]
korvalin> load net huge_inputs.net
 Loading network from ./huge_inputs.net...
[Error]
No or invalid net parameters specified!
 Loading net from @DIR@/huge_inputs.net failed.
Line 5: "2000000000 3 2 5"
[end]
korvalin> load net cut_after_parameters.net
 Loading network from ./cut_after_parameters.net...
[Error]
 Loading net from @DIR@/cut_after_parameters.net failed.
Unexpected end of file.
[end]
korvalin> load net no_fuzzy.net
 Loading network from ./no_fuzzy.net...
[Error]
Unkwown keyword "FUZZ" ignored.
Unkwown keyword "2" ignored.
Unkwown keyword "0.000000	10.000000" ignored.
Unkwown keyword "0.000000	3.333333	6.666667	1 0  small" ignored.
Unkwown keyword "3.333333	6.666667	10.000000	0 1  large" ignored.
Unkwown keyword "3" ignored.
Unkwown keyword "0.000000	4.000000" ignored.
Unkwown keyword "0.000000	1.000000	2.000000	1 0  small" ignored.
Unkwown keyword "1.000000	2.000000	3.000000	0 0  medium" ignored.
Unkwown keyword "2.000000	3.000000	4.000000	0 1  large" ignored.
Fuzzy set section missing!
 Loading net from @DIR@/no_fuzzy.net failed.
[end]
korvalin> load net no_matrix.net
 Loading network from ./no_matrix.net...
[Error]
Unkwown keyword "MATRIXX" ignored.
Unkwown keyword "1	2	0" ignored.
Unkwown keyword "1	3	2" ignored.
Connection matrix section missing!
 Loading net from @DIR@/no_matrix.net failed.
[end]
korvalin> load net no_weights.net
 Loading network from ./no_weights.net...
[Error]
Unkwown keyword "WEIGHT" ignored.
Unkwown keyword "1   1.000000" ignored.
Unkwown keyword "2   0.750000" ignored.
Unkwown keyword "2   1.000000" ignored.
Conclusion weight section missing!
 Loading net from @DIR@/no_weights.net failed.
[end]
korvalin> load net set_out_of_range.net
 Loading network from ./set_out_of_range.net...
[Error]
Rule 2 uses fuzzy set 4 of input 2, which has only 3 sets!
 Loading net from @DIR@/set_out_of_range.net failed.
[end]
korvalin> load net class_too_large.net
 Loading network from ./class_too_large.net...
[Error]
Rule 2 points to class 3, which does not exist!
 Loading net from @DIR@/class_too_large.net failed.
[end]
korvalin> load net class_zero.net
 Loading network from ./class_zero.net...
[Error]
Rule 2 points to class 0, which does not exist!
 Loading net from @DIR@/class_zero.net failed.
[end]
korvalin> load net no_sets.net
 Loading network from ./no_sets.net...
[Error]
Invalid fuzzy partition of input 1!
 Loading net from @DIR@/no_sets.net failed.
Line 19: "0"
[end]
korvalin> load net cut_in_weights.net
 Loading network from ./cut_in_weights.net...
[Error]
 Loading net from @DIR@/cut_in_weights.net failed.
Unexpected end of file.
[end]
korvalin> load net long_name.net
 Loading network from ./long_name.net...
[Error]
 Loading net from @DIR@/long_name.net failed.
Line 9: "hhhhhhhhhhhhhhhhhhhhhhhhhhhhhh"
[end]
korvalin> load net bad_weight.net
 Loading network from ./bad_weight.net...
[Error]
 Loading net from @DIR@/bad_weight.net failed.
Line 39: "   2   x"
[end]
korvalin> load net zero_maximum.net
 Loading network from ./zero_maximum.net...
korvalin> load net unnamed.net
 Loading network from ./unnamed.net...
[Warning]
Unkwown keyword "FOO" ignored.
Unkwown keyword "BAR" ignored.
[end]
korvalin> show inputnames
[InputNames]
Input_1
Input_2
[end]
korvalin> show classnames
[ClassNames]
Class_1
Class_2
[end]
korvalin> show rules
[Rules]
#Rule 1:
IF   Input_1 IS small AND Input_2 IS small
THEN Class_1

#Rule 2:
IF   Input_1 IS large AND Input_2 IS large
THEN Class_2

#Rule 3:
IF   Input_1 IS don't_care AND Input_2 IS medium
THEN Class_2

[end]
