save config goes to the file of the last load config only when that load read a valid line, otherwise to the default
configuration file with a warning. A save to a name not given in the command leaves a file of another kind alone
(named, it is replaced), and removes the temporary files that killed saves to the same target left, once their writers
are gone.
== copy small.net
== file notes.txt
colour = blue
== file small.rul
my own notes
== file .korvalin.small.net.999999999.aB3dE6
== file .korvalin.small.net.1.aB3dE6
== file .korvalin.other.net.999999999.aB3dE6
== stdin
load config notes.txt
save config
load net small.net
save rules
save rules small.rul
save net
== expect notes.txt
colour = blue
== files
.korvalin.other.net.999999999.aB3dE6
.korvalin.small.net.1.aB3dE6
korvalin.cfg
notes.txt
small.net
small.rul
== stdout noeol
korvalin> ^@ Loading configuration from ./notes.txt...
[Error]
Syntax error in configuration file (line 1): 
Unkwown parameter name 'colour'.
[end]
korvalin> ^@[Warning]
 The last 'load config' read no valid line from ./notes.txt,
 so the configuration goes to the default configuration file.
[end]
[Information]
 Configuration has been saved to ./korvalin.cfg.
[end]
korvalin> ^@ Loading network from ./small.net...
korvalin> ^@[Error]
Won't replace './small.rul': it is not a rule file.
 Name the file in the command to replace it.
[end]
korvalin> ^@[Information]
 Rules has been saved to ./small.rul.
[end]
korvalin> ^@[Information]
 Network has been saved to ./small.net.
[end]
korvalin> ^@
