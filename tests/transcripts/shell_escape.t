The shell escape runs the rest of its line; without it the program named by
SHELL runs after a note. The escaped command's output keeps its place among
the program's own.
== program shell
== env SHELL=echo started the shell
== stdin
!echo  one   two
!
foo
exit
== stdout noeol
korvalin> ^@one two
korvalin> ^@ Type exit to return to korvalin...
started the shell
korvalin> ^@[Error]
Invalid command 'foo'. Type 'help' for more information.
[end]
korvalin> ^@
