A paged text that cannot be stored in a temporary file is an error.
== program shell
== link korvalin
== env TMPDIR=@DIR@/none
== file korvalin.hlp
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
help load
== stdout noeol
korvalin> ^@[Error]
Can't create '@DIR@/none/korvalin.XXXXXX' (No such file or directory).
[end]
korvalin> ^@
