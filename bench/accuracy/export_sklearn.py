"""Writes scikit-learn's bundled data sets iris, wine, breast_cancer and
digits as CSV tables (a header row, the class label last) into DIR.

usage: python3 export_sklearn.py DIR
Needs scikit-learn (Debian: python3-sklearn, run with /usr/bin/python3).
"""
import csv
import os
import sys

from sklearn import datasets


def export(name, directory):
    data = getattr(datasets, "load_" + name)()
    names = [str(n).replace(" ", "_") for n in data.feature_names]
    labels = [f"digit_{t}" if name == "digits" else str(data.target_names[t]) for t in data.target]
    with open(os.path.join(directory, name + ".csv"), "w", newline="") as f:
        out = csv.writer(f)
        out.writerow(names + ["class"])
        for row, label in zip(data.data, labels):
            out.writerow([repr(float(v)) for v in row] + [label])


if __name__ == "__main__":
    os.makedirs(sys.argv[1], exist_ok=True)
    for name in ("iris", "wine", "breast_cancer", "digits"):
        export(name, sys.argv[1])
