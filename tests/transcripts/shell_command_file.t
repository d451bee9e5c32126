The bare command shell runs a command file: comment and blank lines are
skipped without echo, every other line is trimmed and echoed after the
prompt, and every failure is reported in a frame while the file goes on. A
last line without a line end still runs.
== program shell
== args cmds
== mkdir sub
== file cmds noeol
# a comment line

   	
% another comment
  cd sub  
foo bar
cd
help a b
cd no/such/dir
!
! echo from the shell
cd ..
== stdout
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
korvalin> help a b
[Error]
Too many arguments for 'help'. 
[end]
korvalin> cd no/such/dir
[Error]
Can't change to directory 'no/such/dir': (No such file or directory).
[end]
korvalin> !
[Error]
OS shell only in interactive mode.
[end]
korvalin> ! echo from the shell
from the shell
korvalin> cd ..
[Information]
 Working directory set to '@DIR@'.
[end]
