create builds the rule base from the patterns and writes the network and a log named after it, by default after the
pattern file in the working directory; the network file may be named before or after the -r option. A pattern whose
antecedent a rule already has creates nothing, whatever its class, and each rule is then connected to the class it
fires for most (the first of equals). In Simple mode creation stops at the limit and reports the rules it could not
create; a pattern counts as covered when its class wins with an output above 0, in the selecting modes above 0.5
(pattern 2 gets exactly 0.5). -r0 allows one rule per pattern. Without a log file the report names /dev/null.
== copy app_create_dup.pat data/dup.pat
== stdin
load pattern data/dup.pat
create net -r3
set Learning_Rules = best
create net -r2 best.net
set Learning_Rules = bestperclass
set CreateLogFile = no
create net per.net -r0
== expect dup.log
#
# KORVALIN 1.0 net creation log file
#
# Pattern used: @DIR@/data/dup.pat
# Maximum number of rules to create: 3
# Rule creation/evaluation mode: Simple
#
[Rule creation] 
 Pattern    1 (class Class_1) created rule 1.
 Pattern    5 (class Class_2) created rule 2.
 Pattern    6 (class Class_1) created rule 3.

[Checking rule connections]
# Rule performance of the considered rule for each output class
 Rule   1:     1.50    1.80 (reconnected from class 1 to class 2)
 Rule   2:     0.00    1.00
 Rule   3:     1.00    1.00

 1 rule(s) reconnected.

[Rule evaluation]
# Rules sorted by their performance
#  No.	 Rule No.   Overall rule performance   Points to class
    1     2 	    1.000 	 (class 'Class_2')
    2     1 	    0.300 	 (class 'Class_2')
    3     3 	    0.000 	 (class 'Class_1')

[Rule selection]
# Selection mode: Simple
# Rules created : 3
# Rules wanted  : 3
# Selected rules: all
== files
best.log
best.net
data/
data/dup.pat
dup.log
dup.net
per.net
== stdout noeol
korvalin> ^@ Loading pattern from ./data/dup.pat...
korvalin> ^@ Creating initial rule base...^@done (3 rules created).
 Now evaluating the rules...^@done.
[Information]
 The system tried to create 1 more rules. 
 Some of these were possibly identical.
 
 See ./dup.log for details about net creation.
[end]
korvalin> ^@korvalin> ^@ Creating initial rule base...^@done (5 rules created).
 Now evaluating the rules...^@done.
[Information]
 2 rules (out of 5 created rules) have been selected.
 
 See ./best.log for details about net creation.
[end]
korvalin> ^@korvalin> ^@korvalin> ^@ Creating initial rule base...^@done (5 rules created).
 Now evaluating the rules...^@done.
[Information]
 5 rules (out of 5 created rules) have been selected.
 
 See /dev/null for details about net creation.
[end]
korvalin> ^@
