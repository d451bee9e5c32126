The bare command shell skips leading options and runs the other arguments as command files, in order; one that cannot
be opened or read is reported and skipped, and the run ends with status 2. Comment and blank lines are skipped without
echo, every other line is trimmed and echoed after the prompt, and every failure is reported in a frame while the file
goes on. Lines longer than 254 characters are reported and skipped whole; one of exactly 254 is still a command. exit
with an argument is refused and still ends the run, also as a last line without a line end: the files after it are
announced, but none of their lines runs.
== program shell
== args -p --other missing d cmds last
== mkdir d
== mkdir sub
== file cmds noeol
# a comment line

   	
% another comment
  cd sub  
foo bar
cd
!
! echo from the shell
exit @250*y@
@254*x@
@100000*z@
cd ..
exit now
== file last
cd /
== stdout
[Error]
Can't open 'missing' (No such file or directory).
[end]
**** Reading commands from d... ****
[Error]
Error reading 'd' (Is a directory).
[end]
**** Reading commands from cmds... ****
korvalin> cd sub
[Information]
 Working directory set to '@DIR@/sub'.
[end]
korvalin> foo bar
[Error]
Invalid command 'foo'. Type 'help' for more information.
[end]
korvalin> cd
[Error]
Too less arguments for 'cd'. 
[end]
korvalin> !
[Error]
OS shell only in interactive mode.
[end]
korvalin> ! echo from the shell
from the shell
[Error]
Command line too long (more than 254 characters), ignored.
[end]
korvalin> @254*x@
[Error]
Invalid command '@254*x@'. Type 'help' for more information.
[end]
[Error]
Command line too long (more than 254 characters), ignored.
[end]
korvalin> cd ..
[Information]
 Working directory set to '@DIR@'.
[end]
korvalin> exit now
[Error]
Too many arguments for 'exit'. 
[end]
**** Reading commands from last... ****
== exit
2
