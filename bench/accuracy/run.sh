#!/bin/sh
# Reproduces the accuracy table of docs/accuracy.md: scikit-learn's data sets
# as pattern files, the depth-5 decision tree and korvalin's nested
# cross-validation on the same ten folds.
#
# usage: bench/accuracy/run.sh [BUILD_DIR [WORK_DIR]]   (defaults: build, accuracy-run)
# JOBS (default 2) runs that many folds at a time. Needs /usr/bin/python3 with
# scikit-learn (Debian: python3-sklearn).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
work=${2:-accuracy-run}
jobs=${JOBS:-2}
python=/usr/bin/python3
"$python" -c 'import sklearn' 2>/dev/null || {
  echo "run.sh: $python cannot import sklearn (Debian: apt-get install python3-sklearn)" >&2
  exit 1
}
mkdir -p "$work"
work=$(cd "$work" && pwd)

"$python" "$here/export_sklearn.py" "$work"
for name in iris wine breast_cancer digits; do
  "$build/korvalin-csv" "$work/$name.csv" "$work/$name.pat"
  mkdir -p "$work/folds/$name"
  "$build/korvalin-csv" --folds 10 --seed 1 --prefix "$work/folds/$name/fold" "$work/$name.pat" 2>/dev/null
done
echo "Depth-5 decision tree, 10 folds (seed 1): mean and standard deviation of the test error"
"$python" "$here/tree_baseline.py" "$work/folds" iris wine breast_cancer digits | tee "$work/tree.txt"

# One method for every data set: BestPerClass rule bases of twice the rule
# budget, 2 or 3 fuzzy sets per input, no learning or 5 epochs, then pruned
# to at most the budget (or not pruned, for comparison); the setting is
# chosen inside each training part by 5-fold cross-validation.
for name in iris wine breast_cancer digits; do
  if [ "$name" = digits ]; then budget=200; else budget=30; fi
  echo
  "$build/korvalin-cv" -k 10 --seed 1 -j "$jobs" -r $((budget * 2)) -s Learning_Rules=BestPerClass \
    -g FSetsPerVariable=2,3 -g epochs=0,5 -g prune=no,-r$budget "$work/$name.pat" | tee "$work/$name.txt"
done
