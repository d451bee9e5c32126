"""The estimator against the command program, scikit-learn's own checks, the
estimator in a pipeline under cross-validation in worker processes, and Ctrl-C
during a long fit."""
import os
import re
import signal
import subprocess
import threading
import time

import numpy as np
import pytest

from conftest import DATA, PROGRAM
from sklearn.base import clone
from sklearn.model_selection import cross_val_score
from sklearn.pipeline import make_pipeline
from sklearn.preprocessing import StandardScaler
from sklearn.utils.estimator_checks import check_estimator

import korvalin

# (constructor arguments, the same settings as program commands)
SETTINGS = (
    dict(rule_mode="BestPerClass", max_rules=9, weight_mode="Free", fs_intersect=True, aggregation="Maximum",
         max_epoch=30, sigma=0.05, fuzzy_sets_per_input={"sepal_width": 5}),
    ["set Learning_Rules = BestPerClass", "set Learning_Weights = Free", "set FsIntersect_0.5 = Yes",
     "set AggregationFunc = Maximum", "set MaxEpoch = 30", "set sigma = 0.05", "set NumberOfFSets[2] = 5", "create net -r9"],
)


def run_program(directory, commands):
    (directory / "cmds").write_text("\n".join(commands) + "\n")
    done = subprocess.run([str(PROGRAM), "cmds"], cwd=directory, env={"KVLPATH": str(directory)},
                          capture_output=True, text=True, timeout=120)
    assert done.returncode == 0 and "[Error]" not in done.stdout, done.stdout + done.stderr
    return done.stdout


def computed_classes(result_file):
    """Per pattern the class name, or "undecided"."""
    return re.findall(r"Computed class: (\S+) \(", result_file.read_text())


def decisions(model, X):
    return [e["prediction"] if e["decision"] == "decided" else "undecided" for e in model.explain(X)]


def test_same_networks_and_decisions_as_the_program(tmp_path, iris):
    X, y = iris
    arguments, commands = SETTINGS
    model = korvalin.FuzzyClassifier(**arguments).fit(X, y)
    model.save(tmp_path / "python.net")
    (tmp_path / "iris.pat").write_bytes((DATA / "iris.pat").read_bytes())
    out = run_program(tmp_path, ["load pattern iris.pat", *commands, "run learning", "save net",
                                 "run test", "load net python.net", "run test"])

    # The program's file: comment lines, then the body that the model writes.
    assert re.sub(r"\A(#[^\n]*\n)*", "", (tmp_path / "iris.net").read_text()) == model.net_.text().decode()
    program = computed_classes(tmp_path / "iris.res")
    assert decisions(model, X) == program
    assert all(c in ("undecided", p) for c, p in zip(program, model.predict(X)))
    wrong = int(re.search(r"Misclassified patterns: (\d+)", out).group(1))
    assert round((1 - model.score(X, y)) * len(y)) == wrong
    # The program tested the model's file last; the file loads back into Python.
    loaded = korvalin.FuzzyClassifier.load(tmp_path / "python.net")
    assert decisions(loaded, X.to_numpy()) == computed_classes(tmp_path / "python.res")
    assert list(model.feature_names_in_) == list(X.columns) and model.rules_[0].startswith("IF sepal_length IS ")


def test_scikit_learn_estimator_checks():
    check_estimator(korvalin.FuzzyClassifier())


def test_pipeline_cross_validated_in_processes(iris):
    X, y = iris
    pipeline = make_pipeline(StandardScaler(), korvalin.FuzzyClassifier(rule_mode="BestPerClass", max_rules=9))
    local = cross_val_score(clone(pipeline), X, y, cv=3)
    assert list(cross_val_score(pipeline, X, y, cv=3, n_jobs=2)) == list(local)
    assert local.mean() > 0.8


def test_ctrl_c_ends_a_long_fit_at_once():
    # Creation and the first epoch take seconds here: the interrupt must not wait for them.
    rng = np.random.default_rng(0)
    X, y = rng.random((200_000, 4), dtype=np.float32), rng.integers(0, 1000, 200_000)
    threading.Timer(0.5, os.kill, (os.getpid(), signal.SIGINT)).start()
    start = time.monotonic()
    with pytest.raises(KeyboardInterrupt):
        korvalin.FuzzyClassifier(fuzzy_sets=7).fit(X, y)
    assert time.monotonic() - start < 1.5
