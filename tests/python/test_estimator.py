"""The estimator against the command program, scikit-learn's own checks, the
estimator in a pipeline under cross-validation in worker processes, a save
that fails, a fit that diverges and Ctrl-C during a long fit."""
import errno
import inspect
import os
import pickle
import re
import signal
import subprocess
import sys
import threading
import time

import numpy as np
import pytest
from conftest import DATA, PROGRAM, ROOT
from sklearn.base import clone
from sklearn.model_selection import cross_val_score
from sklearn.pipeline import make_pipeline
from sklearn.preprocessing import StandardScaler
from sklearn.utils.estimator_checks import check_estimator

import korvalin

# (constructor arguments, the same settings as program commands)
SETTINGS = (
    dict(rule_mode="BestPerClass", max_rules=9, weight_mode="Free", fs_intersect=True, aggregation="Maximum",
         max_epoch=30, sigma=0.05, fuzzy_sets=12, fuzzy_sets_per_input={"sepal_width": 5}),
    ["set FSetsPerVariable = 12", "set Learning_Rules = BestPerClass", "set Learning_Weights = Free", "set FsIntersect_0.5 = Yes",
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

    # The program's file: comment lines, then the body that the model writes,
    # where 12 sets per input are 7.
    assert re.sub(r"\A(#[^\n]*\n)*", "", (tmp_path / "iris.net").read_text()) == model.net_.text().decode()
    assert re.findall(r"FUZZY\n(\d+)\n", model.net_.text().decode()) == ["7"]
    program = computed_classes(tmp_path / "iris.res")
    assert decisions(model, X) == program
    assert all(c in ("undecided", p) for c, p in zip(program, model.predict(X)))
    wrong = int(re.search(r"Misclassified patterns: (\d+)", out).group(1))
    assert round((1 - model.score(X, y)) * len(y)) == wrong
    # The program tested the model's file last; the file loads back into Python.
    loaded = korvalin.FuzzyClassifier.load(tmp_path / "python.net")
    assert decisions(loaded, X.to_numpy()) == computed_classes(tmp_path / "python.res")
    assert list(model.feature_names_in_) == list(X.columns) and model.rules_[0].startswith("IF sepal_length IS ")


def test_load_refuses_a_network_file_that_disagrees_with_its_rule_count(tmp_path):
    (tmp_path / "bad.net").write_text((DATA / "iris_rules.net").read_text().replace("4\t6\t3\t6", "4\t5\t3\t6"))
    with pytest.raises(ValueError, match=r"^not a readable network: Connection matrix row 1 holds 6 values, "
                                         r"5 expected \(one per rule\)!$"):
        korvalin.FuzzyClassifier.load(tmp_path / "bad.net")


def test_scikit_learn_estimator_checks():
    check_estimator(korvalin.FuzzyClassifier())


def test_pipeline_cross_validated_in_processes(iris):
    X, y = iris
    pipeline = make_pipeline(StandardScaler(), korvalin.FuzzyClassifier(rule_mode="BestPerClass", max_rules=9))
    local = cross_val_score(clone(pipeline), X, y, cv=3)
    assert list(cross_val_score(pipeline, X, y, cv=3, n_jobs=2)) == list(local)
    assert local.mean() > 0.8


def test_settings_table_agrees_with_program_and_estimator(tmp_path):
    """What the program's set takes, the estimator takes, and show tells the value used; the defaults are the
    table's in both, in the documentation, in the shipped configuration and through save config."""
    rows = {row["python"]: row for row in korvalin._core.SETTINGS}
    parameters = inspect.signature(korvalin.FuzzyClassifier).parameters
    assert {n: p.default for n, p in parameters.items() if n in rows} == {n: r["default"] for n, r in rows.items()}
    assert set(parameters) - set(rows) == {"fuzzy_sets_per_input", "max_rules"}
    assert all(f"`{n}`" in (ROOT / "docs" / "python.md").read_text() for n in parameters)
    text = {"int": str, "float": lambda v: f"{v:g}", "bool": lambda v: "Yes" if v else "No", "choice": str}
    cases = []  # (row, estimator's value, program's text, shown or None when refused)
    for row in rows.values():
        kind = row["type"]
        if kind == "int":
            cases += [(row, v, str(v), f"{v}" + ("" if row["lowest"] <= v <= row["highest"] else
                      f" ({min(max(v, row['lowest']), row['highest'])} used)")) for v in (12, 0, -3)]
        elif kind == "float":
            cases += [(row, 0.25, "0.25", "0.25"), (row, float("nan"), "nan", None)]
        elif kind == "bool":
            cases += [(row, True, "y", "Yes"), (row, False, "NO", "No"), (row, "yes", "maybe", None)]
        else:
            cases += [(row, w.upper(), w.upper(), w) for w in row["words"]] + [(row, "bogus", "bogus", None)]
    commands = ["save config defaults.cfg", "show config", "load config defaults.cfg", "show config"]
    out = run_program(tmp_path, commands + [f"set {r['name']} = {t}\nshow {r['name']}" for r, _, t, _ in cases])
    before, after = re.findall(r"\[Configuration\]\n(.*?)\n\n", out, re.S)
    assert before == after
    assert (tmp_path / "defaults.cfg").read_text() == (ROOT / "etc" / "korvalin.cfg").read_text()
    saved = dict(re.findall(r"^(\S+) = (.*)$", (tmp_path / "defaults.cfg").read_text(), re.M))
    assert {r["name"]: saved[r["name"]].lower() for r in rows.values()} == {
        r["name"]: text[r["type"]](r["default"]).lower() for r in rows.values()}
    for row, value, typed, seen in cases:
        name = row["name"]
        assert (f"show {name}\n {name} = {seen}\0" if seen else f"Setting Parameter {name} to {typed} failed.") in out
        model = korvalin.FuzzyClassifier(**{row["python"]: value})
        if seen:
            model._settings(1, [])
        else:
            with pytest.raises(ValueError):
                model._settings(1, [])


def test_a_save_that_fails_leaves_the_old_file(tmp_path, iris):
    X, y = iris
    target = tmp_path / "model.net"
    korvalin.FuzzyClassifier(max_epoch=1).fit(X, y).save(target)
    old = target.read_bytes()
    # Python ignores SIGXFSZ: a write beyond the file size limit fails with EFBIG.
    script = ("import pickle, resource, sys\n"
              "model = pickle.loads(sys.stdin.buffer.read())\n"
              "resource.setrlimit(resource.RLIMIT_FSIZE, (1024, resource.getrlimit(resource.RLIMIT_FSIZE)[1]))\n"
              "try:\n    model.save(sys.argv[1])\nexcept OSError as e:\n    sys.exit(e.errno)\n")
    bigger = korvalin.FuzzyClassifier(fuzzy_sets=5, max_epoch=1).fit(X, y)
    done = subprocess.run([sys.executable, "-c", script, str(target)], input=pickle.dumps(bigger), timeout=60)
    assert done.returncode == errno.EFBIG
    assert target.read_bytes() == old and [p.name for p in tmp_path.iterdir()] == ["model.net"]


def test_a_diverging_fit_warns_and_keeps_the_network_of_the_epoch_before(tmp_path, iris):
    X, y = iris
    with pytest.warns(UserWarning, match=r"stopped in epoch 2: .* kept as it was after epoch 1$"):
        model = korvalin.FuzzyClassifier(weight_mode="Free", sigma=1e37).fit(X, y)
    one_epoch = korvalin.FuzzyClassifier(weight_mode="Free", sigma=1e37, max_epoch=1).fit(X, y)
    assert model.n_iter_ == 1 and model.net_.text(exact=True) == one_epoch.net_.text(exact=True)
    assert np.isfinite(model.decision_function(X)).all()
    assert list(pickle.loads(pickle.dumps(model)).predict(X)) == list(model.predict(X))
    model.save(tmp_path / "kept.net")
    assert (tmp_path / "kept.net").read_bytes() == model.net_.text()


def test_ctrl_c_ends_a_long_fit_at_once():
    # Creation and the first epoch take seconds here: the interrupt must not wait for them.
    rng = np.random.default_rng(0)
    X, y = rng.random((200_000, 4), dtype=np.float32), rng.integers(0, 1000, 200_000)
    threading.Timer(0.5, os.kill, (os.getpid(), signal.SIGINT)).start()
    start = time.monotonic()
    with pytest.raises(KeyboardInterrupt):
        korvalin.FuzzyClassifier(fuzzy_sets=7).fit(X, y)
    assert time.monotonic() - start < 1.5
