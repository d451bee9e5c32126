#!/usr/bin/env bash
# Runs end-to-end sessions of the program under valgrind's memcheck and
# fails on any memory error or leak.
#
#   fuzz/memcheck.sh
#
# Two sessions on a generated pattern set (120 patterns, 4 inputs, 3
# classes, some values missing): a command file (load, set, create, learn,
# test, save net, rules and configuration, load the saved net and config
# back, create again in another rule mode, learn and test again), and an
# interactive session through a pipe whose learning runs in a forked child
# and is collected with 'stop'. Every process (the forked child included)
# writes its own report to build-memcheck/memcheck.<pid>.log. The program is
# built without sanitizers (RelWithDebInfo) in build-memcheck, or BUILD_DIR.
# Exit status: 0 when no report shows an error or a lost block, 1
# otherwise, 2 when valgrind is not installed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build-memcheck}"

if ! command -v valgrind >/dev/null 2>&1; then
  echo "memcheck: valgrind is not installed; skipped"
  exit 2
fi

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVALIN_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target korvalin >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
rm -f "$build"/memcheck.*.log

# Deterministic patterns: class k lies in [3k, 3k + 6) in every input, so
# the classes overlap and learning runs its epochs.
awk 'BEGIN {
  srand(7); print "DIMENSIONS"; print "4 3"; print "PATTERNS"; print 120
  for (p = 0; p < 120; p++) {
    k = p % 3; line = ""
    for (i = 0; i < 4; i++) {
      v = (p % 17 == 5 && i == 2) ? "1.4e-45" : sprintf("%.4f", 3 * k + 6 * rand())
      line = line v " "
    }
    print line (k == 0 ? "1 0 0" : k == 1 ? "0 1 0" : "0 0 1")
  }
  print "END" }' >"$work/data.pat"

cat >"$work/session.cmd" <<'CMDS'
load pattern data.pat
set MaxEpoch = 25
set NumberOfFSets[2] = 5
set FsIntersect_0.5 = yes
set Learning_Weights = normalized
create net -r30
run learning
run test
show rules
save net trained.net
save rules
save config session.cfg
load net trained.net
load config session.cfg
run test
set Learning_Rules = bestperclass
set AggregationFunc = maximum
create net best.net -r12
run learning
run test
save net
load net does-not-exist.net
load pattern trained.net
exit
CMDS

memcheck=(valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite,indirect,possible
          --errors-for-leak-kinds=definite,indirect,possible --track-origins=yes
          --log-file="$build/memcheck.%p.log")

echo "memcheck: command file session"
(cd "$work" && KVLPATH="$work" "${memcheck[@]}" "$build/korvalin" session.cmd >"$build/memcheck-batch.out" 2>&1)

echo "memcheck: interactive session with background learning"
{
  printf 'load pattern data.pat\nset MaxEpoch = 100000\ncreate net -r30\nrun learning\n'
  sleep 8
  printf 'stop\nrun test\nsave net\nrun learning\n'
  sleep 4
  printf 'abort\nexit\n'
} | (cd "$work" && KVLPATH="$work" "${memcheck[@]}" "$build/korvalin" >"$build/memcheck-interactive.out" 2>&1)

status=0
for log in "$build"/memcheck.*.log; do
  # A process forked for the system's command interpreter (paged text)
  # leaves valgrind at its exec, before any summary.
  if ! grep -q "ERROR SUMMARY" "$log"; then
    grep -q "Parent PID" "$log" && continue
  fi
  if ! grep -q "ERROR SUMMARY: 0 errors" "$log"; then
    echo "memcheck: errors reported in $log:"
    sed -n '/ERROR SUMMARY/p' "$log"
    status=1
  fi
  grep -E "definitely lost|indirectly lost|possibly lost|in use at exit|ERROR SUMMARY" "$log" | sed "s|^|memcheck: $(basename "$log"): |"
done
[ "$status" = 0 ] && echo "memcheck: no errors, no leaks"
exit "$status"
