The end of standard input ends the loop; a last line without a line end
still runs first.
== program shell
== stdin noeol
cd /
== stdout noeol
korvalin> ^@[Information]
 Working directory set to '/'.
[end]
korvalin> ^@
