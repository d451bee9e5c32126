#!/usr/bin/env python3
"""Prediction in Python against the command program's test pass (and the
bare propagation pass under it) on the same network: 100,000 x 20 x 3
patterns (seed 7), a network of 1000 rules made by `create net -r1000`
(Simple, 3 sets per input).

usage: /usr/bin/python3 bench/python_predict.py [--runs N]

Run it with the interpreter that has NumPy and scikit-learn. It builds the
program, test_pass_bench and the Python module in Release mode (in
build-bench/, or $KORVALIN_BENCH_BUILD) and keeps its data in
$KORVALIN_BENCH_DATA (default $TMPDIR/korvalin-bench-data). Times are
process CPU medians; FuzzyClassifier.predict includes the input checks and
the float32 conversion of a float64 array.
"""
import argparse
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import numpy as np

SRC = Path(__file__).resolve().parents[1]
BUILD = Path(os.environ.get("KORVALIN_BENCH_BUILD", SRC / "build-bench"))
DATA = Path(os.environ.get("KORVALIN_BENCH_DATA", Path(tempfile.gettempdir()) / "korvalin-bench-data"))
TARGET = 1.2


def run(*command, **options):
    return subprocess.run([str(c) for c in command], check=True, capture_output=True, text=True, **options).stdout


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runs", type=int, default=7)
    runs = ap.parse_args().runs

    run("cmake", "-S", SRC, "-B", BUILD, "-DCMAKE_BUILD_TYPE=Release", "-DKORVALIN_BENCH=ON", "-DKORVALIN_TESTS=OFF",
        f"-DPython3_EXECUTABLE={sys.executable}")
    run("cmake", "--build", BUILD, "-j2", "--target", "korvalin", "test_pass_bench", "korvalin_python")
    DATA.mkdir(parents=True, exist_ok=True)
    patterns, net = DATA / "p100k_20_3.pat", DATA / "p100k_20_3.net"
    if not patterns.exists():
        run(sys.executable, SRC / "bench/make_patterns.py", patterns, 100000, 20, 3, "--seed", 7)
    if not net.exists():
        (DATA / "create.cmd").write_text("load pattern p100k_20_3.pat\ncreate net -r1000\n")
        run(BUILD / "korvalin", "create.cmd", cwd=DATA, env=dict(os.environ, KVLPATH=str(DATA)))

    print(f"{os.cpu_count()} cores; load average at start: {os.getloadavg()}")
    out = run(BUILD / "bench/test_pass_bench", patterns, net, runs)
    found = re.search(r"median of \d+: test pass ([\d.]+) ms cpu, bare pass ([\d.]+) ms cpu; (\d+) of", out)
    program_ms, bare_ms, wrong = float(found[1]), float(found[2]), int(found[3])

    sys.path.insert(0, str(BUILD / "python"))
    import korvalin

    lines = patterns.read_text().splitlines()
    start = lines.index("PATTERNS") + 2
    rows = np.loadtxt(lines[start : start + 100000])
    X, y = rows[:, :20], np.argmax(rows[:, 20:], axis=1)
    model = korvalin.FuzzyClassifier.load(net)
    assert round((1 - model.score(X, model.classes_[y])) * len(y)) == wrong, "Python and the program disagree"
    cpu, wall = [], []
    for _ in range(runs):
        c, w = time.process_time(), time.perf_counter()
        model.predict(X)
        cpu.append((time.process_time() - c) * 1e3)
        wall.append((time.perf_counter() - w) * 1e3)
    python_ms = statistics.median(cpu)
    ratio = python_ms / program_ms
    print(f"program test pass (test_pass_bench): median {program_ms:.1f} ms cpu over {runs} runs; "
          f"bare propagation pass {bare_ms:.1f} ms cpu")
    print(f"FuzzyClassifier.predict, float64 input: median {python_ms:.1f} ms cpu, "
          f"{statistics.median(wall):.1f} ms wall over {runs} runs")
    print(f"ratio {ratio:.2f} (target <= {TARGET}): {'met' if ratio <= TARGET else 'NOT met'}; "
          f"against the bare pass {python_ms / bare_ms:.2f}")
    print(f"load average at end: {os.getloadavg()}")
    return 0 if ratio <= TARGET else 1


if __name__ == "__main__":
    sys.exit(main())
