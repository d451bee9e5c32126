"""scikit-learn's own checks, and the estimator in a pipeline under
cross-validation in worker processes."""
from sklearn.base import clone
from sklearn.model_selection import cross_val_score
from sklearn.pipeline import make_pipeline
from sklearn.preprocessing import StandardScaler
from sklearn.utils.estimator_checks import check_estimator

import korvalin


def test_scikit_learn_estimator_checks():
    check_estimator(korvalin.FuzzyClassifier())


def test_pipeline_cross_validated_in_processes(iris):
    X, y = iris
    pipeline = make_pipeline(StandardScaler(), korvalin.FuzzyClassifier(rule_mode="BestPerClass", max_rules=9))
    local = cross_val_score(clone(pipeline), X, y, cv=3)
    assert list(cross_val_score(pipeline, X, y, cv=3, n_jobs=2)) == list(local)
    assert local.mean() > 0.8
