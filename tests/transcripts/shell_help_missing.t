A help file without general text answers "help" with no help for ''; a
missing help file is an error naming where it was looked for.
== program shell
== link korvalin
== file korvalin.hlp
\topic load
 text
== file cmds
help
! rm korvalin.hlp
help load
== args cmds
== stdout
**** Reading commands from cmds... ****
korvalin> help
[Information]
 No help for '' available.
[end]
korvalin> ! rm korvalin.hlp
korvalin> help load
[Error]
Can't open '@DIR@/korvalin.hlp' (No such file or directory).
[end]
