"""Fuzzy rule classifiers for scikit-learn, on the korvalin core.

``FuzzyClassifier`` creates and trains the same networks as the korvalin
command program, with the same arithmetic, and reads and writes its network
files. See docs/python.md.
"""
import inspect
import numbers
import os
import textwrap
import warnings

import numpy as np
from sklearn.base import BaseEstimator, ClassifierMixin
from sklearn.utils.multiclass import check_classification_targets
from sklearn.utils.validation import check_is_fitted, column_or_1d

from . import _core

try:  # scikit-learn 1.6 and later
    from sklearn.utils.validation import validate_data as _validate

    _ARRAY = dict(dtype=np.float32, ensure_all_finite="allow-nan", order="C")
except ImportError:

    def _validate(estimator, *args, **kwargs):
        return estimator._validate_data(*args, **kwargs)

    _ARRAY = dict(dtype=np.float32, force_all_finite="allow-nan", order="C")

__all__ = ["FuzzyClassifier"]

_DECISIONS = ("decided", "no rule fired", "tie")
# Longest input or class name a network keeps, in bytes.
_NAME_BYTES = 29


def _integer(value, name):
    if not isinstance(value, numbers.Integral) or isinstance(value, bool):
        raise ValueError(f"{name} must be an integer, got {value!r}")
    return int(value)


def _real(value, name):
    if not isinstance(value, numbers.Real) or isinstance(value, bool) or not np.isfinite(value):
        raise ValueError(f"{name} must be a finite number, got {value!r}")
    return float(value)


def _flag(value, name):
    if not isinstance(value, (bool, np.bool_)):
        raise ValueError(f"{name} must be True or False, got {value!r}")
    return bool(value)


def _choice(words):
    def convert(value, name):
        for i, word in enumerate(words):
            if isinstance(value, str) and value.lower() == word.lower():
                return i
        raise ValueError(f"{name} must be one of {', '.join(words)}; got {value!r}")

    return convert


# The settings table's rows that the estimator takes (see _core.SETTINGS),
# by parameter, each with the conversion into its value in _core.Settings.
_SETTINGS = {
    row["python"]: (row, _choice(row["words"]) if row["type"] == "choice" else
                    {"int": _integer, "float": _real, "bool": _flag}[row["type"]])
    for row in _core.SETTINGS
}
_SETS = _SETTINGS["fuzzy_sets"][0]


def _set_count(value, name):
    """One input's count of fuzzy sets: as the program's NumberOfFSets, only
    a count that is used as given."""
    if not _SETS["lowest"] <= _integer(value, name) <= _SETS["highest"]:
        raise ValueError(f"{name} must be from {_SETS['lowest']} to {_SETS['highest']}, got {value!r}")
    return int(value)


def _rule_limit(value, name):
    return 0 if value is None else _integer(value, name)  # below 1: as many rules as rows


def _documentation(name, kind, text):
    return f"{name} : {kind}\n" + textwrap.fill(text, 79, initial_indent=" " * 8, subsequent_indent=" " * 8)


def _row_documentation(row):
    kind = "{" + ", ".join(f'"{w}"' for w in row["words"]) + "}" if row["words"] else row["type"]
    default = f'"{row["default"]}"' if row["words"] else repr(row["default"])
    return _documentation(row["python"], f"{kind}, default {default}", f"{row['doc']} ({row['name']}).")


def _net_name(value, default):
    """A name as a network file can hold it: one line, trimmed, at most 29 bytes."""
    text = " ".join(str(value).split())
    text = text.encode("utf-8")[:_NAME_BYTES].decode("utf-8", "ignore").strip()
    return text or default


def _decode(data):
    return data.decode("utf-8", "replace")


def _labels(y):
    """The sorted classes and each row's class index; labels without an
    order keep the order of their first appearance."""
    try:
        return np.unique(y, return_inverse=True)
    except TypeError:
        index = {}
        codes = np.array([index.setdefault(label, len(index)) for label in y], dtype=np.intp)
        classes = np.empty(len(index), dtype=object)
        classes[:] = list(index)
        return classes, codes


# scikit-learn's estimator checks that do not fit the algorithm, and why.
XFAIL_CHECKS = {
    "check_decision_proba_consistency": "decision_function gives the network's class outputs and predict_proba "
    "each class's share of them; rows rank differently by shares than by output differences",
}


class FuzzyClassifier(ClassifierMixin, BaseEstimator):
    """Fuzzy rule classifier: triangular fuzzy sets per input, if-then rules
    created from the training rows, then tuned by fuzzy error backpropagation.

    The defaults are the command program's. Every parameter but
    fuzzy_sets_per_input and max_rules is one of its learning parameters,
    whose name ends the description. Choice parameters take the
    configuration file's words in any letter case.

    Parameters
    ----------
    {parameters}

    Attributes
    ----------
    classes_ : ndarray
        The labels; class k of the network is ``classes_[k - 1]``.
    n_features_in_ : int
    feature_names_in_ : ndarray of str
        Only when fitted on a frame with string column names.
    rules_ : list of str
        The readable rules, ``rules_[i]`` being the network's rule i + 1.
    n_iter_ : int
        Learning epochs run, up to the one whose network is kept: learning
        that drives a number of the network beyond finite values stops,
        with a UserWarning, and keeps the network of the epoch before.
    net_ : the network itself (pickles exactly).
    """

    def __init__(
        self,
        fuzzy_sets=3,
        fuzzy_sets_per_input=None,
        rule_mode="Simple",
        max_rules=None,
        aggregation="WeightedSum",
        weight_mode="Fixed",
        fs_intersect=False,
        max_epoch=100,
        sigma=0.01,
        sigma_a=0.01,
        sigma_b=0.01,
        sigma_c=0.01,
        stop_at_percent=0.0,
        stop_at_misclassified=0,
    ):
        self.fuzzy_sets = fuzzy_sets
        self.fuzzy_sets_per_input = fuzzy_sets_per_input
        self.rule_mode = rule_mode
        self.max_rules = max_rules
        self.aggregation = aggregation
        self.weight_mode = weight_mode
        self.fs_intersect = fs_intersect
        self.max_epoch = max_epoch
        self.sigma = sigma
        self.sigma_a = sigma_a
        self.sigma_b = sigma_b
        self.sigma_c = sigma_c
        self.stop_at_percent = stop_at_percent
        self.stop_at_misclassified = stop_at_misclassified

    def _settings(self, n_features, names):
        settings = _core.Settings()
        for parameter, (row, convert) in _SETTINGS.items():
            settings.set(parameter, convert(getattr(self, parameter), parameter))
        settings.max_rules = _rule_limit(self.max_rules, "max_rules")
        per_input = self.fuzzy_sets_per_input
        if per_input is not None:
            counts = [int(settings.get("fuzzy_sets"))] * n_features
            if hasattr(per_input, "items"):
                for key, count in per_input.items():
                    i = names.index(key) if isinstance(key, str) and key in names else key
                    if not isinstance(i, numbers.Integral) or not 0 <= i < n_features:
                        raise ValueError(f"fuzzy_sets_per_input: no input {key!r}")
                    counts[i] = _set_count(count, "fuzzy_sets_per_input")
            else:
                if len(per_input) != n_features:
                    raise ValueError(f"fuzzy_sets_per_input needs {n_features} counts, got {len(per_input)}")
                counts = [_set_count(c, "fuzzy_sets_per_input") for c in per_input]
            settings.sets_per_input = counts
        return settings

    def _check(self, X):
        check_is_fitted(self)
        return _validate(self, X, reset=False, **_ARRAY)

    def fit(self, X, y):
        """Creates the rule base from X (NaN: missing) and y (any hashable
        labels), then learns until a stop criterion holds."""
        X, y = _validate(self, X, y, **_ARRAY)
        if y.dtype.kind in "fiub":
            check_classification_targets(y)
        classes, codes = _labels(y)
        columns = getattr(self, "feature_names_in_", None)
        names = [str(c) for c in columns] if columns is not None else []
        input_names = [_net_name(n, f"Input_{i + 1}") for i, n in enumerate(names or [""] * X.shape[1])]
        class_names = [_net_name(c, f"Class_{k + 1}") for k, c in enumerate(classes)]
        settings = self._settings(X.shape[1], names)
        self.net_, self.n_iter_, diverged = _core.fit(
            settings, X, codes.astype(np.int32) + 1, len(classes), input_names, class_names
        )
        if diverged:
            kept = f"after epoch {self.n_iter_}" if self.n_iter_ else "before learning"
            warnings.warn(
                f"learning stopped in epoch {diverged}: the total error or a parameter of the network is no "
                f"longer a finite number; the network is kept as it was {kept}",
                UserWarning,
                stacklevel=2,
            )
        self.classes_ = classes
        return self

    @property
    def rules_(self):
        check_is_fitted(self)
        blocks = _decode(self.net_.rules()).split("\n\n")
        return [" ".join(" ".join(b.split("\n")[1:]).split()) for b in blocks if b.strip()]

    def decision_function(self, X):
        """The network's class outputs (rows x classes); for two classes the
        output of ``classes_[1]`` minus that of ``classes_[0]``."""
        out = self._outputs(X)
        return out[:, 1] - out[:, 0] if len(self.classes_) == 2 else out

    def _outputs(self, X):
        X = self._check(X)
        return self.net_.outputs(X).astype(np.float64)

    def predict(self, X):
        """The class of highest output, as the command program's test
        computes it; for an undecided row, which that test leaves without a
        class, the first class with the highest output."""
        out = self._outputs(X)
        return self.classes_[np.argmax(out, axis=1)]

    def predict_proba(self, X):
        """Each class's share of the positive outputs. A row with no positive
        output (no rule fired) spreads its probability evenly over the classes
        sharing the highest output: all of them when every output is 0."""
        out = self._outputs(X)
        positive = np.maximum(out, 0.0)
        total = positive.sum(axis=1, keepdims=True)
        proba = positive / np.where(total > 0, total, 1.0)
        none = total[:, 0] <= 0
        top = (out[none] == out[none].max(axis=1, keepdims=True)).astype(np.float64)
        proba[none] = top / top.sum(axis=1, keepdims=True)
        return proba

    def score(self, X, y, sample_weight=None):
        """The share of rows decided for their own class. An undecided row
        (no rule fired, or a tie for the highest output) counts as wrong, as
        in the command program's test, even where predict's fallback class
        happens to be right."""
        best, decision, _, _ = self.net_.classify(self._check(X))
        y = column_or_1d(y)
        return float(np.average((decision == 0) & (self.classes_[best - 1] == y), weights=sample_weight))

    def explain(self, X):
        """Per row a dict: prediction, decision ("decided", "no rule fired"
        or "tie"), rule (index into rules_, None when undecided), its
        activation, and its text."""
        X = self._check(X)
        best, decision, rule, activation = self.net_.classify(X)
        rules = self.rules_
        return [
            {
                "prediction": self.classes_[b - 1],
                "decision": _DECISIONS[d],
                "rule": int(r - 1) if r else None,
                "activation": float(a),
                "text": rules[r - 1] if r else None,
            }
            for b, d, r, a in zip(best, decision, rule, activation)
        ]

    def save(self, path):
        """Writes the network file, as the command program's ``save net``:
        the old file stays as it was unless the new one is complete."""
        check_is_fitted(self)
        path = os.fspath(path)
        error = self.net_.save(os.fsencode(path))
        if error:
            raise OSError(error, os.strerror(error), path)

    @classmethod
    def load(cls, path):
        """A fitted classifier from a network file. Its labels are the file's
        class names, its aggregation the file's; the other parameters are
        the defaults, as the file does not record them."""
        with open(os.fspath(path), "rb") as f:
            net = _core.read(f.read())
        info = net.info()
        model = cls(aggregation=info["aggregation"])
        model.net_ = net
        model.classes_ = np.array([_decode(n) for n in info["class_names"]])
        model.n_features_in_ = info["inputs"]
        return model

    def _more_tags(self):
        return {"allow_nan": True, "_xfail_checks": XFAIL_CHECKS}

    def __sklearn_tags__(self):  # scikit-learn 1.6 and later
        tags = super().__sklearn_tags__()
        tags.input_tags.allow_nan = True
        return tags


# The parameters' documentation: the settings table's, and the two of creation.
_OWN_DOCS = {
    "fuzzy_sets_per_input": _documentation(
        "fuzzy_sets_per_input", "sequence or mapping, default None",
        f"Per-input counts ({_SETS['lowest']}..{_SETS['highest']}) overriding ``fuzzy_sets``: a sequence with one "
        "count per input, or a mapping from column index or feature name."),
    "max_rules": _documentation("max_rules", "int or None, default None",
                                "Rules to keep; None (or a number below 1) keeps as many as there are training rows."),
}
if FuzzyClassifier.__doc__:  # not under python -OO
    FuzzyClassifier.__doc__ = FuzzyClassifier.__doc__.replace("{parameters}", "\n    ".join(
        _OWN_DOCS[p] if p in _OWN_DOCS else _row_documentation(_SETTINGS[p][0])
        for p in inspect.signature(FuzzyClassifier).parameters))
