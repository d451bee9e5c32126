create needs a pattern set with classes and patterns; save needs a network.
== args cmds
== file noclass.pat
DIMENSIONS
2 2
NOCLASS
PATTERNS
1
1.0 2.0
END
== file none.pat
DIMENSIONS
2 2
END
== file cmds
create net -r5
save net
save rules x.rul
load pattern noclass.pat
create net -r5
load pattern none.pat
create net -r5
== stdout
KORVALIN 1.0, 
A neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.
Type 'help' for an overview of the commands.
[Warning]
Can't open '@DIR@/korvalin.cfg' (No such file or directory).
Using default configuration.
[end]
**** Reading commands from cmds... ****
korvalin> create net -r5
[Error]
Can't create net: No pattern file loaded!
[end]
korvalin> save net
[Error]
Can't save net. No net loaded or created.
[end]
korvalin> save rules x.rul
[Error]
Can't save rules. No net loaded or created.
[end]
korvalin> load pattern noclass.pat
 Loading pattern from ./noclass.pat...
korvalin> create net -r5
[Error]
Can't create net: Pattern file contains no class information!
[end]
korvalin> load pattern none.pat
 Loading pattern from ./none.pat...
korvalin> create net -r5
[Error]
Can't create net: Pattern file contains no patterns!
[end]
== files
cmds
noclass.pat
none.pat
