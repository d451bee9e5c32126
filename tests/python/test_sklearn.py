"""scikit-learn's own checks, grid searches in processes and on a dask
cluster, and the installed module."""
import os
import subprocess
import sys

import pytest
from conftest import BUILD
from sklearn.model_selection import GridSearchCV
from sklearn.utils.estimator_checks import check_estimator

import korvalin


def test_scikit_learn_estimator_checks():
    check_estimator(korvalin.FuzzyClassifier())


def test_grid_search_in_processes_and_on_a_dask_cluster(iris):
    distributed = pytest.importorskip("distributed")
    from joblib import parallel_backend

    X, y = iris
    grid = {"fuzzy_sets": [2, 3], "rule_mode": ["Simple", "BestPerClass"], "max_rules": [9]}

    def search(n_jobs):
        return GridSearchCV(korvalin.FuzzyClassifier(max_epoch=20), grid, cv=3, n_jobs=n_jobs).fit(X, y)

    local = search(2)
    # Loopback only, two small worker processes: the same calls reach a real
    # cluster when the Client is given the scheduler's address instead.
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, host="127.0.0.1",
                                  dashboard_address=None, memory_limit="1GiB") as cluster:
        with distributed.Client(cluster), parallel_backend("dask"):
            remote = search(-1)
    assert list(remote.cv_results_["mean_test_score"]) == list(local.cv_results_["mean_test_score"])
    assert local.best_score_ > 0.9 and local.best_estimator_.rules_


def test_installed_module_imports(tmp_path):
    # DESTDIR keeps even an absolute site directory below tmp_path.
    subprocess.run(["cmake", "--install", str(BUILD)], env=dict(os.environ, DESTDIR=str(tmp_path)), check=True,
                   capture_output=True)
    found = [p.parent.parent for p in tmp_path.rglob("korvalin/__init__.py")]
    assert len(found) == 1
    done = subprocess.run([sys.executable, "-c", "import korvalin; print(korvalin._core.__file__)"],
                          env=dict(os.environ, PYTHONPATH=str(found[0])), capture_output=True, text=True, check=True)
    assert done.stdout.startswith(str(found[0]))
