At the prompt over pipes the prompt ends in a NUL and no line end, every message is framed, and lines are neither
trimmed of comments nor skipped when blank; options alone keep the interactive loop, and a line longer than 254
characters is skipped whole however long. The shell escape runs the rest of its line, or without it the program named
by SHELL after a note; what it writes keeps its place. Started by a relative path, the program finds its help file
after a change of directory. Help shows the section of a topic (adjacent topic lines share one, a bare topic line
inside a section is text, long lines stop nothing). The end of input ends the loop; a last line without a line end
still runs first.
== program shell
== link bin/korvalin
== args -p -x
== env SHELL=echo started the shell
== mkdir elsewhere
== copy shell_prompt_korvalin.hlp bin/korvalin.hlp
== stdin noeol

   
# not a comment here
foo
  cd   elsewhere  
exit@300* @x
@200000*q@
@254*x@
!echo  one   two
!
help load
== stdout noeol
korvalin> ^@korvalin> ^@korvalin> ^@[Error]
Invalid command '#'. Type 'help' for more information.
[end]
korvalin> ^@[Error]
Invalid command 'foo'. Type 'help' for more information.
[end]
korvalin> ^@[Information]
 Working directory set to '@DIR@/elsewhere'.
[end]
korvalin> ^@[Error]
Command line too long (more than 254 characters), ignored.
[end]
korvalin> ^@[Error]
Command line too long (more than 254 characters), ignored.
[end]
korvalin> ^@[Error]
Invalid command '@254*x@'. Type 'help' for more information.
[end]
korvalin> ^@one two
korvalin> ^@ Type exit to return to korvalin...
started the shell
korvalin> ^@[Help]
 Loading and saving.
\topic
 still the save section

[end]
korvalin> ^@
