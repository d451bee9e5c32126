A relative KVLPATH without a final slash is taken from the working directory.
== env KVLPATH=cfg
== mkdir cfg
== stdout noeol
KORVALIN 1.0, 
A neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.
Type 'help' for an overview of the commands.
[Warning]
Can't open '@DIR@/cfg/korvalin.cfg' (No such file or directory).
Using default configuration.
[end]
korvalin> ^@
