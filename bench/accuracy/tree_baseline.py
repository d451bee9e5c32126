"""The depth-5 decision tree on the folds korvalin-csv made: one line per data
set with the mean and standard deviation of the test misclassification rate.

usage: python3 tree_baseline.py DIR NAME...   (DIR/NAME/fold-train-I.pat, ...)
Needs scikit-learn (Debian: python3-sklearn, run with /usr/bin/python3).
"""
import os
import statistics
import sys

from sklearn.tree import DecisionTreeClassifier


def read_patterns(path):
    """Inputs and class numbers of a pattern file with class vectors."""
    with open(path) as f:
        words = [line.split() for line in f if line.strip() and line[0] not in "#%"]
    inputs, classes = int(words[1][0]), int(words[1][1])
    at = next(k for k, w in enumerate(words) if w[0] == "PATTERNS")
    count = int(words[at + 1][0])
    values = [float(v) for w in words[at + 2:] if w[0] != "END" for v in w]
    width = inputs + classes
    rows = [values[p * width:(p + 1) * width] for p in range(count)]
    return [r[:inputs] for r in rows], [r[inputs:].index(1.0) for r in rows]


def main(directory, names):
    for name in names:
        rates = []
        fold = 1
        while os.path.exists(os.path.join(directory, name, f"fold-train-{fold}.pat")):
            x, y = read_patterns(os.path.join(directory, name, f"fold-train-{fold}.pat"))
            tx, ty = read_patterns(os.path.join(directory, name, f"fold-test-{fold}.pat"))
            tree = DecisionTreeClassifier(max_depth=5, random_state=0).fit(x, y)
            wrong = sum(int(p != t) for p, t in zip(tree.predict(tx), ty))
            rates.append(100.0 * wrong / len(ty))
            fold += 1
        print(f"{name:15s} {statistics.mean(rates):6.2f}% {statistics.stdev(rates):6.2f}%")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2:])
