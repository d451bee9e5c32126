Without KVLPATH the configuration and help files are looked up in the program's own directory.
== link bin/korvalin
== env -KVLPATH
== file bin/korvalin.cfg
MaxEpoch = 3
== stdin
help
== stdout noeol
 Loading configuration from ./bin/korvalin.cfg...
korvalin> ^@[Error]
Can't open '@DIR@/bin/korvalin.hlp' (No such file or directory).
[end]
korvalin> ^@
