The configuration file in KVLPATH is read at start, and save config writes every parameter back as it was read: to the
file named, taken in the working directory, or else to the file last read or written. A faulty line of a configuration
file is reported with its number, and the others still apply, the last one too although it has no line end.
== copy app_configuration_korvalin.cfg korvalin.cfg
== copy app_configuration_faulty.cfg faulty.cfg
== mkdir sub
== stdin
save config sub/copy.cfg
! cmp korvalin.cfg sub/copy.cfg
load config faulty.cfg
show MaxEpoch
show sigma
show Learning_Rules
save config
== stdout noeol
 Loading configuration from ./korvalin.cfg...
korvalin> ^@[Information]
 Configuration has been saved to ./sub/copy.cfg.
[end]
korvalin> ^@korvalin> ^@ Loading configuration from ./faulty.cfg...
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
korvalin> ^@ MaxEpoch = 7^@korvalin> ^@ sigma = 0.25^@korvalin> ^@ Learning_Rules = BestPerClass^@korvalin> ^@[Information]
 Configuration has been saved to ./faulty.cfg.
[end]
korvalin> ^@
