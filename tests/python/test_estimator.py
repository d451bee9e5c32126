"""The estimator against the command program, scikit-learn's own checks, and the
estimator in a pipeline under cross-validation in worker processes."""
import inspect
import re
import subprocess

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
