At start the banner comes first; a missing configuration file is a warning
and the defaults stay.
== stdin
exit
== stdout noeol
KORVALIN 1.0, 
A neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.
Type 'help' for an overview of the commands.
[Warning]
Can't open '@DIR@/korvalin.cfg' (No such file or directory).
Using default configuration.
[end]
korvalin> ^@
