create net refuses a feature whose range is too wide for fuzzy sets of finite numbers (the pattern file loads), and
names its log only when the log was written; a file of another kind is not replaced by the log. Learning reports an
error curve that cannot be written, and learning that drives the net beyond finite numbers stops in that epoch and
keeps the net of the epoch before, which can then be saved.
== copy iris.pat
== copy iris_rules.net
== copy two_features.pat
== mkdir two_features.log
== mkdir iris_rules.err
== file other.log
my own notes
== copy app_create_and_learning_failures_wide.pat wide.pat
== stdin
load pattern wide.pat
create net -r0
load pattern two_features.pat
create net -r0
create net other.net -r0
load pattern iris.pat
load net iris_rules.net
set Learning_Weights = free
set sigma = 1e37
set Update_Cycle = 0
run learning
save net learnt.net
== expect other.log
my own notes
== stdout noeol
korvalin> ^@ Loading pattern from ./wide.pat...
korvalin> ^@[Error]
Can't create net: The range of input 2 (height) is too wide for fuzzy sets of finite numbers.
[end]
korvalin> ^@ Loading pattern from ./two_features.pat...
korvalin> ^@[Error]
Can't create '@DIR@/two_features.log' (Is a directory).
[end]
 Creating initial rule base...^@done (2 rules created).
 Now evaluating the rules...^@done.
korvalin> ^@[Error]
Won't replace './other.log': it is not a net creation log.
[end]
 Creating initial rule base...^@done (2 rules created).
 Now evaluating the rules...^@done.
korvalin> ^@ Loading pattern from ./iris.pat...
korvalin> ^@ Loading network from ./iris_rules.net...
korvalin> ^@korvalin> ^@korvalin> ^@korvalin> ^@ Starting the learning process.

[Error]
Can't create '@DIR@/iris_rules.err' (Is a directory).
[end]
[Error]
 Learning stopped in epoch 2: the total error or a parameter of the net is no longer a finite number.
 The net is kept as it was after epoch 1.
[end]
[Learning results]
 Epoch:    1, total error: 190.17,   18(12.00%) misclassifications.
korvalin> ^@[Information]
 Network has been saved to ./learnt.net.
[end]
korvalin> ^@
