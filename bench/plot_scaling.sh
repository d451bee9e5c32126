#!/usr/bin/env bash
# Draws the time of Best creation (creation, connection check, evaluation)
# against the number of patterns, from tables that run_pipeline.sh printed
# for the best1m shape, one file per code version.
#
# usage: bench/plot_scaling.sh OUT.png LABEL=TABLE.md [LABEL=TABLE.md ...]
#   e.g. bench/plot_scaling.sh docs/performance-scaling.png before=old.md after=new.md
# Needs gnuplot (Debian: gnuplot-nox).
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: $0 OUT.png LABEL=TABLE.md..." >&2; exit 2; }
out=$1
shift
command -v gnuplot >/dev/null || { echo "plot_scaling: gnuplot not found" >&2; exit 2; }
if gnuplot -e 'set terminal pngcairo' >/dev/null 2>&1; then term=pngcairo; else term=png; fi

colours=("#d03020" "#1f5fbf" "#2f9f4f" "#8f4fbf")
script="set terminal $term size 900,540 noenhanced
set output '$out'
set title 'Best creation with connection check and evaluation, 12 inputs x 4 classes, 5 sets'
set xlabel 'patterns'; set ylabel 'CPU time (s)'
set logscale xy; set grid; set key top left
set xrange [80000:1250000]; set yrange [0.5:400]
set xtics ('100k' 100000, '250k' 250000, '500k' 500000, '1M' 1000000)
"
plot="plot"
n=0
for arg in "$@"; do
  label=${arg%%=*}
  file=${arg#*=}
  # "| 250k x 12 x 4 | create Best -r200, 5 sets: total | 30.6 s | ..." -> "250000 30.6"
  data=$(awk -F'|' '$3 ~ /create Best .*: total/ && $2 ~ /^ *[0-9]+[km] x 12 x 4/ {
      split($2, s, " "); size = s[1]; sub(/k$/, "000", size); sub(/m$/, "000000", size)
      split($4, t, " "); v = t[1] + 0; if (t[2] == "ms") v /= 1000; if (t[2] == "us") v /= 1e6
      print size, v }' "$file")
  [ -n "$data" ] || { echo "plot_scaling: no best1m totals in $file" >&2; exit 1; }
  script+="\$d$n << EOD
$data
EOD
"
  plot+=" \$d$n using 1:2 with linespoints lw 2 pt 7 ps 0.8 lc rgb '${colours[n % 4]}' title '$label',"
  n=$((n + 1))
done
plot+=" '-' using 1:2 with points pt 9 ps 1.6 lc rgb '#404040' title 'targets'
100000 3
1000000 30
e"
printf '%s\n%s\n' "$script" "$plot" | gnuplot
echo "$out"
