#!/bin/sh
# Runs the iris demo in a scratch directory: creates a classifier, trains
# and tests it, saves the network and its rules, shows the rules, and
# draws the error curve and the fuzzy sets when gnuplot is installed.
#   usage: sh examples/demo.sh [DIRECTORY]     (default: ./demo-run)
# KORVALIN names the program to run (default: build/korvalin beside examples/).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
bin=${KORVALIN:-$here/../build/korvalin}
[ -x "$bin" ] || { echo "demo: no program at $bin; build it first (cmake -S . -B build && cmake --build build)" >&2; exit 1; }
bindir=$(cd "$(dirname "$bin")" && pwd)
dir=${1:-demo-run}
mkdir -p "$dir"
cp "$here/iris.pat" "$dir/"
cd "$dir"
"$bin" "$here/iris-demo.cmd"
echo
if [ -x "$bindir/korvalin-plot" ] && command -v gnuplot >/dev/null 2>&1; then
  "$bindir/korvalin-plot" iris.err || true
  "$bindir/korvalin-plot" iris-created.net iris.net || true
fi
echo "demo: the files are in $(pwd)"
