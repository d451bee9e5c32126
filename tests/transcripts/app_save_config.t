save config writes to the configuration file in use: at first the one
looked for at start, then the one last named; a relative name is taken in
the working directory. The file holds every parameter.
== args cmds
== mkdir sub
== file cmds
set MaxEpoch = 250
save config
cd sub
set sigma_c = 0.125
save config
save config mine.cfg
save config
save config @DIR@/no/such/dir/x.cfg
== stdout
KORVALIN 1.0, 
A neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.
Type 'help' for an overview of the commands.
[Warning]
Can't open '@DIR@/korvalin.cfg' (No such file or directory).
Using default configuration.
[end]
**** Reading commands from cmds... ****
korvalin> set MaxEpoch = 250
korvalin> save config
[Information]
 Configuration has been saved to ./korvalin.cfg.
[end]
korvalin> cd sub
[Information]
 Working directory set to '@DIR@/sub'.
[end]
korvalin> set sigma_c = 0.125
korvalin> save config
[Information]
 Configuration has been saved to @DIR@/korvalin.cfg.
[end]
korvalin> save config mine.cfg
[Information]
 Configuration has been saved to ./mine.cfg.
[end]
korvalin> save config
[Information]
 Configuration has been saved to ./mine.cfg.
[end]
korvalin> save config @DIR@/no/such/dir/x.cfg
[Error]
Can't create '@DIR@/no/such/dir/x.cfg' (No such file or directory).
[end]
== expect korvalin.cfg
# KORVALIN 1.0 configuration file
# Note: Blank lines and lines beginning with '#' or '%'
#       allowed and ignored.

# General learning parameters
MaxEpoch = 250
Stop_At_Percent = 0
Stop_At_Misclassified = 0

# Update cycle for screen/log update
Update_Cycle = 5

# Create a logfile during net creation?
CreateLogFile = Yes

# Learning rates
# (for the conclusion weights and the parameter a, b, c of the fuzzy sets):
sigma = 0.01
sigma_a = 0.01
sigma_b = 0.01
sigma_c = 0.125

# Fuzzy sets per input variable (2 <= x <= 7)
FSetsPerVariable = 3

# Fuzzy sets must intersect at 0.5 ?
FsIntersect_0.5 = No

# Learning conclusion weights
# Possible values are: fixed, normalized or free
Learning_Weights = Fixed

# Learning rules
# Possible values are: simple, best or bestperclass
Learning_Rules = Simple

# The aggregation function to be used (weightedsum or maximum)
AggregationFunc = WeightedSum
== files
cmds
korvalin.cfg
sub/
sub/mine.cfg
