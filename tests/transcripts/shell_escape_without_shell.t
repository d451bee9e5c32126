Without SHELL the bare shell escape does nothing and says nothing.
== program shell
== stdin
!
exit
== stdout noeol
korvalin> ^@korvalin> ^@
