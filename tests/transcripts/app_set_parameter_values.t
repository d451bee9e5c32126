Parameter values are read by the parameter's type, names in any letter case:
integers as far as they go (but only "0" is zero, and out-of-range numbers
are refused), floats that stay finite in single precision (only "0" and
"0.0" are zero), yes/no words, and choice words. A refused value leaves the
one before.
== args cmds
== file korvalin.cfg
== file cmds
set maxepoch = 0
show maxepoch
set MaxEpoch = 12abc
show MaxEpoch
set MaxEpoch = -5
show MaxEpoch
set MaxEpoch = 00
show MaxEpoch
set MaxEpoch = -0
show MaxEpoch
set MaxEpoch = 99999999999
show MaxEpoch
set MaxEpoch = -3000000000
show MaxEpoch
set SIGMA = 0
show SIGMA
set sigma = 2e-2
show sigma
set sigma = 0.0
show sigma
set sigma_a = .5
show sigma_a
set sigma_a = 0.00
show sigma_a
set sigma_a = x
show sigma_a
set sigma_a = nan
show sigma_a
set sigma_a = inf
show sigma_a
set sigma_a = 1e40
show sigma_a
set sigma_a = -1e39
show sigma_a
set CreateLogFile = n
show CreateLogFile
set createlogfile = YES
show createlogfile
set CreateLogFile = true
show CreateLogFile
set FsIntersect_0.5 = y
show FsIntersect_0.5
set Learning_Rules = BESTperCLASS
show Learning_Rules
set AggregationFunc = maximum
show AggregationFunc
set Learning_Weights = Normalized
show Learning_Weights
set Learning_Weights = best
show Learning_Weights
== stdout noeol
KORVALIN 1.0, 
A neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.
Type 'help' for an overview of the commands.
 Loading configuration from ./korvalin.cfg...
**** Reading commands from cmds... ****
korvalin> set maxepoch = 0
korvalin> show maxepoch
 MaxEpoch = 0^@korvalin> set MaxEpoch = 12abc
korvalin> show MaxEpoch
 MaxEpoch = 12^@korvalin> set MaxEpoch = -5
korvalin> show MaxEpoch
 MaxEpoch = -5^@korvalin> set MaxEpoch = 00
[Warning]
Setting Parameter MaxEpoch to 00 failed.Invalid value format.
[end]
korvalin> show MaxEpoch
 MaxEpoch = -5^@korvalin> set MaxEpoch = -0
[Warning]
Setting Parameter MaxEpoch to -0 failed.Invalid value format.
[end]
korvalin> show MaxEpoch
 MaxEpoch = -5^@korvalin> set MaxEpoch = 99999999999
[Warning]
Setting Parameter MaxEpoch to 99999999999 failed.Invalid value format.
[end]
korvalin> show MaxEpoch
 MaxEpoch = -5^@korvalin> set MaxEpoch = -3000000000
[Warning]
Setting Parameter MaxEpoch to -3000000000 failed.Invalid value format.
[end]
korvalin> show MaxEpoch
 MaxEpoch = -5^@korvalin> set SIGMA = 0
korvalin> show SIGMA
 sigma = 0^@korvalin> set sigma = 2e-2
korvalin> show sigma
 sigma = 0.02^@korvalin> set sigma = 0.0
korvalin> show sigma
 sigma = 0^@korvalin> set sigma_a = .5
korvalin> show sigma_a
 sigma_a = 0.5^@korvalin> set sigma_a = 0.00
[Warning]
Setting Parameter sigma_a to 0.00 failed.Invalid value format.
[end]
korvalin> show sigma_a
 sigma_a = 0.5^@korvalin> set sigma_a = x
[Warning]
Setting Parameter sigma_a to x failed.Invalid value format.
[end]
korvalin> show sigma_a
 sigma_a = 0.5^@korvalin> set sigma_a = nan
[Warning]
Setting Parameter sigma_a to nan failed.Invalid value format.
[end]
korvalin> show sigma_a
 sigma_a = 0.5^@korvalin> set sigma_a = inf
[Warning]
Setting Parameter sigma_a to inf failed.Invalid value format.
[end]
korvalin> show sigma_a
 sigma_a = 0.5^@korvalin> set sigma_a = 1e40
[Warning]
Setting Parameter sigma_a to 1e40 failed.Invalid value format.
[end]
korvalin> show sigma_a
 sigma_a = 0.5^@korvalin> set sigma_a = -1e39
[Warning]
Setting Parameter sigma_a to -1e39 failed.Invalid value format.
[end]
korvalin> show sigma_a
 sigma_a = 0.5^@korvalin> set CreateLogFile = n
korvalin> show CreateLogFile
 CreateLogFile = No^@korvalin> set createlogfile = YES
korvalin> show createlogfile
 CreateLogFile = Yes^@korvalin> set CreateLogFile = true
[Warning]
Setting Parameter CreateLogFile to true failed.Invalid value format.
[end]
korvalin> show CreateLogFile
 CreateLogFile = Yes^@korvalin> set FsIntersect_0.5 = y
korvalin> show FsIntersect_0.5
 FsIntersect_0.5 = Yes^@korvalin> set Learning_Rules = BESTperCLASS
korvalin> show Learning_Rules
 Learning_Rules = BestPerClass^@korvalin> set AggregationFunc = maximum
korvalin> show AggregationFunc
 AggregationFunc = Maximum^@korvalin> set Learning_Weights = Normalized
korvalin> show Learning_Weights
 Learning_Weights = Normalized^@korvalin> set Learning_Weights = best
[Warning]
Setting Parameter Learning_Weights to best failed.Invalid value format.
[end]
korvalin> show Learning_Weights
 Learning_Weights = Normalized^@
