The configuration file in KVLPATH is read at start; faulty lines are
reported with their numbers and the others still apply, the last one too
although it has no line end.
== file korvalin.cfg noeol
# settings
  % also a comment
MaxEpoch = 7
Foo = 1

sigma 2
sigma = 0.5
sigma_a = bad
MaxEpoch = 8
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
Syntax error in configuration file (line 4): 
Unkwown parameter name 'Foo'.
[end]
[Error]
Syntax error in configuration file (line 6): 
Assignment missing.
[end]
[Error]
Syntax error in configuration file (line 8): 
Invalid value format.
[end]
korvalin> ^@ MaxEpoch = 8^@korvalin> ^@ sigma = 0.5^@korvalin> ^@
