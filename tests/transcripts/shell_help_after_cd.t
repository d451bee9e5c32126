Started by a relative path, the program still finds its help file after the
working directory has changed.
== program shell
== link bin/korvalin
== mkdir elsewhere
== file bin/korvalin.hlp
lines before any topic are never shown
\topic
 General help.
\topic load
\topic save
 Loading and saving.
\topic
 still the save section
\topic cd  
 Changing directory.
== stdin
cd elsewhere
help save
== stdout noeol
korvalin> ^@[Information]
 Working directory set to '@DIR@/elsewhere'.
[end]
korvalin> ^@[Help]
 Loading and saving.
\topic
 still the save section

[end]
korvalin> ^@
