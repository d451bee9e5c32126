"""Where the module, the program and the test data are: from CTest's
environment, else the default build directory."""
import os
import sys
from pathlib import Path

import numpy as np
import pytest

ROOT = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get("KORVALIN_BUILD", ROOT / "build"))
PROGRAM = Path(os.environ.get("KORVALIN_BIN", BUILD / "korvalin"))
DATA = ROOT / "tests" / "data"

# Worker processes (joblib) find the module through the environment.
sys.path.insert(0, str(BUILD / "python"))
os.environ["PYTHONPATH"] = os.pathsep.join(filter(None, [str(BUILD / "python"), os.environ.get("PYTHONPATH")]))


def read_patterns(path):
    """Input names, class names, rows and class indices of a pattern file
    with VARNAMES and class vectors."""
    lines = [l for l in (l.split("%")[0].strip() for l in Path(path).read_text().splitlines()) if l]
    inputs, classes = map(int, lines[lines.index("DIMENSIONS") + 1].split())
    at = lines.index("VARNAMES") + 1
    names = lines[at : at + inputs + classes]
    at = lines.index("PATTERNS") + 2
    rows = np.array([l.split() for l in lines[at : lines.index("END")]], dtype=np.float64)
    return names[:inputs], names[inputs:], rows[:, :inputs], np.argmax(rows[:, inputs:], axis=1)


@pytest.fixture(scope="session")
def iris():
    pd = pytest.importorskip("pandas")
    inputs, classes, X, k = read_patterns(DATA / "iris.pat")
    return pd.DataFrame(X, columns=inputs), np.array(classes)[k]
