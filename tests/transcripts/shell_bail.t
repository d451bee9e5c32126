With --bail the first command that reports an error ends the run with exit status 1; the commands after it and the
later command files do not run.
== program shell
== args --bail one two
== file one
cd .
cd no-such-directory
cd .
== file two
cd .
== exit
1
== stdout
**** Reading commands from one... ****
korvalin> cd .
[Information]
 Working directory set to '@DIR@'.
[end]
korvalin> cd no-such-directory
[Error]
Can't change to directory '@DIR@/no-such-directory': (No such file or directory).
[end]
