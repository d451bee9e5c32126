Help shows the section of a topic (adjacent topic lines share one; a bare
topic line inside a section is text), the general text with the list of
topics, and the contents, each framed for a reading program. Topics are
matched exactly, trailing blanks included. No temporary file is left behind.
== program shell
== link korvalin
== file korvalin.hlp
lines before any topic are never shown
\topic
 General help.
\topic load
\topic save
 Loading and saving.
\topic
 still the save section
\topic cd  
 Changing directory.
== stdin
help save
help load
help
help CONTENTS
help Load
help cd
help nothing
== stdout noeol
korvalin> ^@[Help]
 Loading and saving.
\topic
 still the save section

[end]
korvalin> ^@[Help]
 Loading and saving.
\topic
 still the save section

[end]
korvalin> ^@[Help]
 General help.
 The following help topics are available:

	load
	save
	cd  

[end]
korvalin> ^@[Help contents]
	load
	save
	cd  

[end]
korvalin> ^@[Information]
 No help for 'Load' available.
[end]
korvalin> ^@[Information]
 No help for 'cd' available.
[end]
korvalin> ^@[Information]
 No help for 'nothing' available.
[end]
korvalin> ^@
