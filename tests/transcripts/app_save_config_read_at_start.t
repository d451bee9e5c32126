save config writes back the configuration file read at start.
== args cmds
== file korvalin.cfg
# mine
Update_Cycle = 2
== file cmds
save config
== stdout
KORVALIN 1.0, 
A neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.
Type 'help' for an overview of the commands.
 Loading configuration from ./korvalin.cfg...
**** Reading commands from cmds... ****
korvalin> save config
[Information]
 Configuration has been saved to ./korvalin.cfg.
[end]
== expect korvalin.cfg
# KORVALIN 1.0 configuration file
# Note: Blank lines and lines beginning with '#' or '%'
#       allowed and ignored.

# General learning parameters
MaxEpoch = 100
Stop_At_Percent = 0
Stop_At_Misclassified = 0

# Update cycle for screen/log update
Update_Cycle = 2

# Create a logfile during net creation?
CreateLogFile = Yes

# Learning rates
# (for the conclusion weights and the parameter a, b, c of the fuzzy sets):
sigma = 0.01
sigma_a = 0.01
sigma_b = 0.01
sigma_c = 0.01

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
