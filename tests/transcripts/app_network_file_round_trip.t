A hand-written network loads and is written again with the same body; the
maximum aggregation and odd values survive the round trip.
== copy small.net
== file max.net
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
USEMAXIMUM

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
   1   -0.123456789
   2   0.750000
   2   1.000000

END
== args cmds
== file korvalin.cfg
== file cmds
load net small.net
save net copy.net
load net max.net
save net max2.net
load net max2.net
save net max3.net
== stdout
KORVALIN 1.0, 
A neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.
Type 'help' for an overview of the commands.
 Loading configuration from ./korvalin.cfg...
**** Reading commands from cmds... ****
korvalin> load net small.net
 Loading network from ./small.net...
korvalin> save net copy.net
[Information]
 Network has been saved to ./copy.net.
[end]
korvalin> load net max.net
 Loading network from ./max.net...
korvalin> save net max2.net
[Information]
 Network has been saved to ./max2.net.
[end]
korvalin> load net max2.net
 Loading network from ./max2.net...
korvalin> save net max3.net
[Information]
 Network has been saved to ./max3.net.
[end]
== expect copy.net
#
# KORVALIN 1.0 network definition file
#
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
   2   0.750000
   2   1.000000

END
== expect max3.net
#
# KORVALIN 1.0 network definition file
#
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
USEMAXIMUM

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
   1   -0.123457
   2   0.750000
   2   1.000000

END
