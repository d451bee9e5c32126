The configuration file in KVLPATH is read at start, and save config writes
every parameter back as it was read: to the file named, taken in the working
directory, or else to the file last read or written. A faulty line of a configuration file is reported with its number,
and the others still apply, the last one too although it has no line end.
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
== file faulty.cfg noeol
sigma = 0.25
MaxEpoch
bogus = 1
  learning_rules   =   BestPerClass  
sigma_a = x
MaxEpoch = 7
== args cmds
== mkdir sub
== file cmds
save config sub/copy.cfg
! cmp korvalin.cfg sub/copy.cfg
load config faulty.cfg
show MaxEpoch
show sigma
show Learning_Rules
save config
== stdout
 Loading configuration from ./korvalin.cfg...
**** Reading commands from cmds... ****
korvalin> save config sub/copy.cfg
[Information]
 Configuration has been saved to ./sub/copy.cfg.
[end]
korvalin> ! cmp korvalin.cfg sub/copy.cfg
korvalin> load config faulty.cfg
 Loading configuration from ./faulty.cfg...
[Error]
Syntax error in configuration file (line 2): 
Assignment missing.
[end]
[Error]
Syntax error in configuration file (line 3): 
Unkwown parameter name 'bogus'.
[end]
[Error]
Syntax error in configuration file (line 5): 
Invalid value format.
[end]
korvalin> show MaxEpoch
 MaxEpoch = 7^@korvalin> show sigma
 sigma = 0.25^@korvalin> show Learning_Rules
 Learning_Rules = BestPerClass^@korvalin> save config
[Information]
 Configuration has been saved to ./faulty.cfg.
[end]
