A directory named as a command file opens but cannot be read.
== program shell
== mkdir d
== args d
== stdout
**** Reading commands from d... ****
[Error]
Error reading 'd' (Is a directory).
[end]
== exit
2
