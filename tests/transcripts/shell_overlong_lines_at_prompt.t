At the prompt an overlong line is skipped whole too, however long.
== program shell
== stdin
exit@300* @x
@200000*q@
exit
== stdout noeol
korvalin> ^@[Error]
Command line too long (more than 254 characters), ignored.
[end]
korvalin> ^@[Error]
Command line too long (more than 254 characters), ignored.
[end]
korvalin> ^@
