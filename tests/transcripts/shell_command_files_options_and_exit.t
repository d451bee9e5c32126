Leading options are skipped and the other arguments are command files, run
in order; one that cannot be opened is reported and skipped. After exit the
later files are still announced but none of their lines runs. Standard input
is never read in batch mode.
== program shell
== args -p --other missing one two
== file one
cd .
exit
cd /tmp
== file two
cd /tmp
== stdin
cd /tmp
== stdout
[Error]
Can't open 'missing' (No such file or directory).
[end]
**** Reading commands from one... ****
korvalin> cd .
[Information]
 Working directory set to '@DIR@'.
[end]
korvalin> exit
**** Reading commands from two... ****
== exit
2
