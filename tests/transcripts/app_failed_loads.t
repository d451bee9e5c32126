A pattern file with an unknown keyword loads with a warning. Failed loads
name the file and the line or the reason, and keep the state they found (the
fuzzy set counts set after the good load survive).
== args cmds
== file small.pat
% two features
DIMENSIONS
2 2
VARNAMES
width
height
narrow
wide
PATTERNS
6
1.0 0.5  1 0
1.5 1.0  1 0
2.0 0.5  1 0
8.0 4.5  0 1
9.0 4.0  0 1
8.5 5.0  0 1
END
== file bad.pat
DIMENSIONS
2 2
PATTERNS
3
1.0 0.5 1 0
9.0 x 0 1
2.0 1.0 1 0
END
== file warn.pat
DIMENSIONS
2 2
FOO
PATTERNS
2
1.0 0.5 1 0
9.0 4.5 0 1
END
== file three.pat noeol
DIMENSIONS
3 2
PATTERNS
1
1 2 3 1 0
END
== file nodims.pat
PATTERNS
1
1 2 3 1 0
END
== file cmds
load pattern warn.pat
set NumberOfFSets[2] = 5
load pattern bad.pat
load pattern three.pat
load pattern nodims.pat
load pattern missing.pat
load net @DIR@
load net small.pat
show NumberOfFSets
== stdout noeol
KORVALIN 1.0, 
A neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.
Type 'help' for an overview of the commands.
[Warning]
Can't open '@DIR@/korvalin.cfg' (No such file or directory).
Using default configuration.
[end]
**** Reading commands from cmds... ****
korvalin> load pattern warn.pat
 Loading pattern from ./warn.pat...
[Warning]
Unkwown keyword "FOO" ignored.
[end]
korvalin> set NumberOfFSets[2] = 5
korvalin> load pattern bad.pat
 Loading pattern from ./bad.pat...
[Error]
 Loading pattern from @DIR@/bad.pat failed.
Line 6: "9.0 x 0 1"
[end]
korvalin> load pattern three.pat
 Loading pattern from ./three.pat...
[Error]
 Loading pattern from @DIR@/three.pat failed.
Unexpected end of file.
[end]
korvalin> load pattern nodims.pat
 Loading pattern from ./nodims.pat...
[Error]
No or invalid pattern dimensions specified!
 Loading pattern from @DIR@/nodims.pat failed.
[end]
korvalin> load pattern missing.pat
[Error]
Can't open '@DIR@/missing.pat' (No such file or directory).
[end]
korvalin> load net @DIR@
[Error]
Can't open '@DIR@' (Is a directory).
[end]
korvalin> load net small.pat
 Loading network from ./small.pat...
[Error]
Net parameter section missing!
 Loading net from @DIR@/small.pat failed.
[end]
korvalin> show NumberOfFSets
 NumberOfFSets = <3, 5>
