Every value the configuration file holds is written back as it was read.
== args cmds
== file korvalin.cfg
# KORVALIN 1.0 configuration file
# Note: Blank lines and lines beginning with '#' or '%'
#       allowed and ignored.

# General learning parameters
MaxEpoch = 250
Stop_At_Percent = 1.25
Stop_At_Misclassified = 3

# Update cycle for screen/log update
Update_Cycle = -1

# Create a logfile during net creation?
CreateLogFile = No

# Learning rates
# (for the conclusion weights and the parameter a, b, c of the fuzzy sets):
sigma = 0.5
sigma_a = 1e-05
sigma_b = 0.123457
sigma_c = -2

# Fuzzy sets per input variable (2 <= x <= 7)
FSetsPerVariable = 5

# Fuzzy sets must intersect at 0.5 ?
FsIntersect_0.5 = Yes

# Learning conclusion weights
# Possible values are: fixed, normalized or free
Learning_Weights = Free

# Learning rules
# Possible values are: simple, best or bestperclass
Learning_Rules = Best

# The aggregation function to be used (weightedsum or maximum)
AggregationFunc = Maximum
== file cmds
save config
! mv korvalin.cfg saved.cfg
load config saved.cfg
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
korvalin> ! mv korvalin.cfg saved.cfg
korvalin> load config saved.cfg
 Loading configuration from ./saved.cfg...
korvalin> save config
[Information]
 Configuration has been saved to ./saved.cfg.
[end]
== expect saved.cfg
# KORVALIN 1.0 configuration file
# Note: Blank lines and lines beginning with '#' or '%'
#       allowed and ignored.

# General learning parameters
MaxEpoch = 250
Stop_At_Percent = 1.25
Stop_At_Misclassified = 3

# Update cycle for screen/log update
Update_Cycle = -1

# Create a logfile during net creation?
CreateLogFile = No

# Learning rates
# (for the conclusion weights and the parameter a, b, c of the fuzzy sets):
sigma = 0.5
sigma_a = 1e-05
sigma_b = 0.123457
sigma_c = -2

# Fuzzy sets per input variable (2 <= x <= 7)
FSetsPerVariable = 5

# Fuzzy sets must intersect at 0.5 ?
FsIntersect_0.5 = Yes

# Learning conclusion weights
# Possible values are: fixed, normalized or free
Learning_Weights = Free

# Learning rules
# Possible values are: simple, best or bestperclass
Learning_Rules = Best

# The aggregation function to be used (weightedsum or maximum)
AggregationFunc = Maximum
