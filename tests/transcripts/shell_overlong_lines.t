Command lines longer than 254 characters are reported and skipped whole, in
command files and at the prompt; a line of exactly 254 characters is still a
command. An overlong exit does not end the program.
== program shell
== args cmds
== file cmds
exit @250*y@
@254*x@
@100000*z@
cd /
== stdout
**** Reading commands from cmds... ****
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
korvalin> cd /
[Information]
 Working directory set to '/'.
[end]
