Long lines in the help file stop neither the search nor the listing.
== program shell
== link korvalin
== file korvalin.hlp
@5000*w@
\topic
@5000*w@
\topic first
@5000*w@
\topic second
 end
== stdin
help second
help contents
== stdout noeol
korvalin> ^@[Help]
 end

[end]
korvalin> ^@[Help contents]
	first
	second

[end]
korvalin> ^@
