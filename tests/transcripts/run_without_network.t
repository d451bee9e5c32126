run without a network.
== copy two_features.pat
== args cmds
== file cmds
load pattern two_features.pat
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
korvalin> load pattern two_features.pat
 Loading pattern from ./two_features.pat...
korvalin> run learning
[Error]
Can't execute 'run': No net defined.
[end]
