--pipe selects pipe mode only as the first argument; later it is merely an
option that is skipped (no pattern block appears).
== copy two_features.pat
== args -x --pipe
== file korvalin.cfg
== stdin
load pattern two_features.pat
== stdout noeol
KORVALIN 1.0, 
A neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.
Type 'help' for an overview of the commands.
 Loading configuration from ./korvalin.cfg...
korvalin> ^@ Loading pattern from ./two_features.pat...
korvalin> ^@
