#!/usr/bin/env bash
# Builds the pipeline benchmark in Release mode, makes the pattern files it
# needs (once, in a scratch directory) and prints the table of every stage.
#
# usage: bench/run_pipeline.sh [--runs N] [SHAPE...]
#   SHAPE: iris 20k 100k best100k 1m best1m test1m report (default: all).
#   best100k (Best creation over 25k, 50k and 100k patterns), 1m and best1m
#   (Best creation over 100k to 1m patterns) take minutes.
# Environment: KORVALIN_BENCH_DATA (scratch directory for the pattern
# files, default $TMPDIR/korvalin-bench-data), KORVALIN_BENCH_BUILD (build
# directory, default build-bench in the source tree), KORVALIN_PATTERN_TOOL
# (the pattern generator, default bench/make_patterns.py).
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=${KORVALIN_BENCH_BUILD:-$src/build-bench}
data=${KORVALIN_BENCH_DATA:-${TMPDIR:-/tmp}/korvalin-bench-data}
tool=${KORVALIN_PATTERN_TOOL:-$src/bench/make_patterns.py}

runs=5
shapes=()
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    *) shapes+=("$1"); shift ;;
  esac
done
[ ${#shapes[@]} -gt 0 ] || shapes=(iris 20k 100k best100k 1m best1m test1m report)

if [ ! -f "$tool" ]; then
  echo "run_pipeline: pattern generator $tool not found (set KORVALIN_PATTERN_TOOL)" >&2
  exit 2
fi

cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKORVALIN_BENCH=ON -DKORVALIN_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target korvalin pipeline_bench >/dev/null

mkdir -p "$data"
# patterns NAME PATTERNS INPUTS CLASSES: a pattern file, seed 7, unless it is there.
patterns() {
  [ -s "$data/$1" ] || python3 "$tool" "$data/$1" "$2" "$3" "$4" --seed 7
}
for shape in "${shapes[@]}"; do
  case $shape in
    iris) cp "$src/tests/data/iris.pat" "$data/iris.pat" ;;
    20k) patterns p20k_12_4.pat 20000 12 4 ;;
    100k) patterns p100k_20_3.pat 100000 20 3 ;;
    best100k) patterns p25k_20_3.pat 25000 20 3; patterns p50k_20_3.pat 50000 20 3; patterns p100k_20_3.pat 100000 20 3 ;;
    1m|test1m) patterns p1m_8_2.pat 1000000 8 2 ;;
    best1m) for n in 100k:100000 250k:250000 500k:500000 1m:1000000; do
        patterns "p${n%%:*}_12_4.pat" "${n#*:}" 12 4
      done ;;
    report) patterns p25k_20_3.pat 25000 20 3; patterns p200_20_3.pat 200 20 3 ;;
    *) echo "run_pipeline: unknown shape $shape" >&2; exit 2 ;;
  esac
done

echo "$(nproc) cores; load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| shape | stage | median | spread (min - max) | runs | target | note |"
echo "|---|---|---|---|---|---|---|"
"$build/bench/pipeline_bench" --data "$data" --bin "$build/korvalin" --runs "$runs" "${shapes[@]}"
echo
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
