The configuration file in KVLPATH is read at start; faulty lines are
reported with their numbers and the others still apply (the configuration
shown reflects MaxEpoch 7 and sigma 0.5).
== file korvalin.cfg
# settings
MaxEpoch = 7
Foo = 1

sigma 2
sigma = 0.5
== stdin
show MaxEpoch
show sigma
quit
== stdout noeol
KORVALIN 1.0, 
A neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.
Type 'help' for an overview of the commands.
 Loading configuration from ./korvalin.cfg...
[Error]
Syntax error in configuration file (line 3): 
Unkwown parameter name 'Foo'.
[end]
[Error]
Syntax error in configuration file (line 5): 
Assignment missing.
[end]
korvalin> ^@ MaxEpoch = 7^@korvalin> ^@ sigma = 0.5^@korvalin> ^@
