# A first classifier for the iris plants: three fuzzy sets for every
# input, and the best three rules of each class. Run it in a scratch
# directory holding iris.pat (demo.sh does that): the network, its log,
# error curve, test results, predictions and rules are written there.
load pattern iris.pat
set FSetsPerVariable = 3
set Learning_Rules = BestPerClass
create net -r9
# Kept so that the sets before and after learning can be drawn together.
save net iris-created.net
run learning
run test
show confusion
explain 71
save predictions
save rules
save net
show rules
