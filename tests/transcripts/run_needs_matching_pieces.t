run needs a network and a pattern set of the same numbers of inputs and
classes; nothing is written when they are missing or differ.
== copy two_features.pat
== file one.net
PARAMETERS
1	1	2	1

USESUM

FUZZY
2
0.000000	10.000000
0.000000	3.333333	6.666667	1 0  small
3.333333	6.666667	10.000000	0 1  large

MATRIX
1	

WEIGHTS
   1   1.000000

END
== file three.net
PARAMETERS
2	1	3	1

USESUM

FUZZY
2
0.000000	10.000000
0.000000	3.333333	6.666667	1 0  small
3.333333	6.666667	10.000000	0 1  large

2
0.000000	5.000000
0.000000	1.666667	3.333333	1 0  small
1.666667	3.333333	5.000000	0 1  large

MATRIX
1	
1	

WEIGHTS
   3   1.000000

END
== args cmds
== file cmds
run test
load net one.net
run learning
load pattern two_features.pat
run test
load net three.net
run learning
== stdout
KORVALIN 1.0, 
A neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.
Type 'help' for an overview of the commands.
[Warning]
Can't open '@DIR@/korvalin.cfg' (No such file or directory).
Using default configuration.
[end]
**** Reading commands from cmds... ****
korvalin> run test
[Error]
Can't execute 'run': No pattern file loaded and no net defined.
[end]
korvalin> load net one.net
 Loading network from ./one.net...
korvalin> run learning
[Error]
Can't execute 'run': No pattern file loaded.
[end]
korvalin> load pattern two_features.pat
 Loading pattern from ./two_features.pat...
korvalin> run test
[Error]
Can't execute 'run': pattern and net have incompatible dimensions.
[end]
korvalin> load net three.net
 Loading network from ./three.net...
korvalin> run learning
[Error]
Can't execute 'run': pattern and net have incompatible dimensions.
[end]
== files
cmds
one.net
three.net
two_features.pat
