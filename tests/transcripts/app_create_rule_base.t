Rule creation: a pattern whose antecedent a rule already has creates nothing,
whatever its class, and the rule is then connected to the class it fires for
most. A pattern counts as covered when its class wins with an output above 0
(Simple) or above 0.5 (the selecting modes): the second pattern here gets 0.4
from the first rule. -r0 allows one rule per pattern.
== args cmds
== file korvalin.cfg
Learning_Rules = best
== file dup.pat
DIMENSIONS
1 2
INRANGES
0 4
PATTERNS
3
0.5 1 0
0.6 0 1
0.7 0 1
END
== file cover.pat
DIMENSIONS
1 2
INRANGES
0 4
PATTERNS
2
0.5 1 0
1.6 1 0
END
== file cmds
load pattern dup.pat
create net -r10
! mv dup.log reconnected.log
load pattern cover.pat
create net -r5 best.net
set Learning_Rules = simple
create net -r5 simple.net
create net -r0 zero.net
== stdout
KORVALIN 1.0, 
A neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.
Type 'help' for an overview of the commands.
 Loading configuration from ./korvalin.cfg...
**** Reading commands from cmds... ****
korvalin> load pattern dup.pat
 Loading pattern from ./dup.pat...
korvalin> create net -r10
 Creating initial rule base...^@done (1 rules created).
 Now evaluating the rules...^@done.
[Information]
 1 rules (out of 1 created rules) have been selected.
 
 See ./dup.log for details about net creation.
[end]
korvalin> ! mv dup.log reconnected.log
korvalin> load pattern cover.pat
 Loading pattern from ./cover.pat...
korvalin> create net -r5 best.net
 Creating initial rule base...^@done (2 rules created).
 Now evaluating the rules...^@done.
[Information]
 2 rules (out of 2 created rules) have been selected.
 
 See ./best.log for details about net creation.
[end]
korvalin> set Learning_Rules = simple
korvalin> create net -r5 simple.net
 Creating initial rule base...^@done (1 rules created).
 Now evaluating the rules...^@done.
[Information]
 
 See ./simple.log for details about net creation.
[end]
korvalin> create net -r0 zero.net
 Creating initial rule base...^@done (1 rules created).
 Now evaluating the rules...^@done.
[Information]
 
 See ./zero.log for details about net creation.
[end]
== expect reconnected.log
#
# KORVALIN 1.0 net creation log file
#
# Pattern used: @DIR@/dup.pat
# Maximum number of rules to create: 10
# Rule creation/evaluation mode: Best
#
[Rule creation] 
 Pattern    1 (class Class_1) created rule 1.

[Checking rule connections]
# Rule performance of the considered rule for each output class
 Rule   1:     1.00    2.00 (reconnected from class 1 to class 2)

 1 rule(s) reconnected.

[Rule evaluation]
# Rules sorted by their performance
#  No.	 Rule No.   Overall rule performance   Points to class
    1     1 	    1.000 	 (class 'Class_2')

[Rule selection]
# Selection mode: Best
# Rules created : 1
# Rules wanted  : 3
# Selected rules: all
== expect zero.log
#
# KORVALIN 1.0 net creation log file
#
# Pattern used: @DIR@/cover.pat
# Maximum number of rules to create: 2
# Rule creation/evaluation mode: Simple
#
[Rule creation] 
 Pattern    1 (class Class_1) created rule 1.

[Checking rule connections]
# Rule performance of the considered rule for each output class
 Rule   1:     1.40    0.00

 0 rule(s) reconnected.

[Rule evaluation]
# Rules sorted by their performance
#  No.	 Rule No.   Overall rule performance   Points to class
    1     1 	    1.400 	 (class 'Class_1')

[Rule selection]
# Selection mode: Simple
# Rules created : 1
# Rules wanted  : 2
# Selected rules: all
