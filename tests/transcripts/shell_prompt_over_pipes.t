Over pipes the prompt ends in a NUL and no line end, every message is
framed, and lines are neither trimmed of comments nor skipped when blank;
options alone keep the interactive loop. exit with an argument is refused
and still ends the loop.
== program shell
== args -p -x
== stdin

   
# not a comment here
foo
  cd   /  
exit 1
cd /tmp
== stdout
korvalin> ^@korvalin> ^@korvalin> ^@[Error]
Invalid command '#'. Type 'help' for more information.
[end]
korvalin> ^@[Error]
Invalid command 'foo'. Type 'help' for more information.
[end]
korvalin> ^@[Information]
 Working directory set to '/'.
[end]
korvalin> ^@[Error]
Too many arguments for 'exit'. 
[end]
