Pruning a fresh rule base on its patterns: progress per kind of change, the summary before and after, fewer rules
(merged as they become equal).
== copy iris.pat
== stdin
load pattern iris.pat
set Learning_Rules = BestPerClass
set CreateLogFile = No
create net -r6
prune
== stdout noeol
korvalin> ^@ Loading pattern from ./iris.pat...
korvalin> ^@korvalin> ^@korvalin> ^@ Creating initial rule base...^@done (23 rules created).
 Now evaluating the rules...^@done.
[Information]
 6 rules (out of 23 created rules) have been selected.
 
 See /dev/null for details about net creation.
[end]
korvalin> ^@ Pruning the rules on 150 patterns...
 inputs  :     4 tried,     2 removed; 3 rules, 4 misclassified.
 entries :     6 tried,     2 removed; 3 rules, 4 misclassified.
 rules   :     3 tried,     0 removed; 3 rules, 4 misclassified.
 inputs  :     2 tried,     0 removed; 3 rules, 4 misclassified.
 entries :     4 tried,     0 removed; 3 rules, 4 misclassified.
 rules   :     3 tried,     0 removed; 3 rules, 4 misclassified.
[Pruning results]
 Inputs used           : 4 -> 2
 Rules                 : 6 -> 3
 Antecedents per rule  : 4.00 -> 1.33
 Misclassified patterns: 21(14.00%) -> 4(2.67%)
[Information]
 
 Use 'save net' to keep the pruned network.
[end]
korvalin> ^@
