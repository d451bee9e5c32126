Testing shows the summary and a pointer to the result file named after the network. A pattern that fires no rule is
undecided; the confusion matrix and the predictions follow the same decisions. The default predictions file is named
after the pattern file, but a file of that name that holds no predictions is kept. A set without patterns stops
learning after one epoch (its percentage is no number) without a status, and its test summary shows zeros rather than
dividing by zero.
== copy small.net
== copy run_test_mixed.pat mixed.pat
== file mixed.csv
width,height,class
== copy run_test_none.pat none.pat
== stdin
load pattern mixed.pat
load net small.net
run test
show confusion
save predictions
save predictions mixed.csv
load pattern none.pat
run learning
run test
== expect mixed.csv
pattern,class,share,rule,activation,target
1,narrow,1,1,1,narrow
2,,0,0,0,wide
3,wide,1,3,1,narrow
4,narrow,0.636364,1,1,narrow
== stdout noeol
korvalin> ^@ Loading pattern from ./mixed.pat...
korvalin> ^@ Loading network from ./small.net...
korvalin> ^@ Propagating patterns...

[Test results]
 Misclassified patterns: 2(50.00%)
 Total error           : 2.653
 Mean error            : 0.663
[Information]
 
 See ./small.res for detailed test results.
[end]
korvalin> ^@[Confusion]
Test of ./small.net on ./mixed.pat, 4 patterns:
target \ computed  narrow  wide  undecided
narrow                  2     1          0
wide                    0     0          1

class              recall  precision
narrow              0.667      1.000
wide                0.000      0.000
Balanced accuracy : 0.333
Undecided patterns: 1
[end]
korvalin> ^@[Error]
Can't save predictions: ./mixed.csv exists and holds no predictions.
 Name the file to write: 'save predictions <file>'.
[end]
korvalin> ^@[Information]
 Predictions have been saved to ./mixed.csv.
[end]
korvalin> ^@ Loading pattern from ./none.pat...
korvalin> ^@ Starting the learning process.

korvalin> ^@ Propagating patterns...

[Test results]
 Misclassified patterns: 0(0.00%)
 Total error           : 0.000
 Mean error            : 0.000
[Information]
 
 See ./small.res for detailed test results.
[end]
korvalin> ^@
