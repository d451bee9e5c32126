Configuration lines: the value is everything after the first equals sign;
over-long lines, names and values are errors, and reading goes on.
== file korvalin.cfg
MaxEpoch = @300*1@
@200*n@ = 1
sigma = @130*0@1
x = a = b
MaxEpoch =
@127*n@=@125*v@
MaxEpoch = 42
== stdin
show MaxEpoch
show sigma
== stdout noeol
KORVALIN 1.0, 
A neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.
Type 'help' for an overview of the commands.
 Loading configuration from ./korvalin.cfg...
[Error]
Syntax error in configuration file (line 1): 
Line too long (more than 254 characters).
[end]
[Error]
Syntax error in configuration file (line 2): 
Parameter name too long (more than 127 characters).
[end]
[Error]
Syntax error in configuration file (line 3): 
Value too long (more than 125 characters).
[end]
[Error]
Syntax error in configuration file (line 4): 
Unkwown parameter name 'x'.
[end]
[Error]
Syntax error in configuration file (line 5): 
Invalid value format.
[end]
[Error]
Syntax error in configuration file (line 6): 
Unkwown parameter name '@127*n@'.
[end]
korvalin> ^@ MaxEpoch = 42^@korvalin> ^@ sigma = 0.01^@korvalin> ^@
