#!/usr/bin/env bash
# Builds the fuzz targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs one of them, or all in turn, for a given time.
#
#   fuzz/run.sh TARGET SECONDS [libFuzzer options...]
#   fuzz/run.sh all SECONDS [libFuzzer options...]
#   fuzz/run.sh list
#
# TARGET is one of the names `fuzz/run.sh list` prints (fuzz_pattern_file,
# fuzz_net_file, ...). The checked-in seeds in fuzz/corpus/TARGET are only
# read; what the fuzzer finds goes to build-fuzz/corpus/TARGET, crashing
# inputs to build-fuzz/artifacts/. The fuzzer runs at the lowest scheduling
# priority (FUZZ_NICE, default 19). BUILD_DIR changes the build directory.
# Exit status: 0 when every run ended without a finding, 1 otherwise,
# 2 when clang is missing.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build-fuzz}"
targets=(fuzz_pattern_file fuzz_net_file fuzz_config fuzz_help fuzz_command fuzz_paths fuzz_fuzzy)

if [ "${1:-}" = list ]; then
  printf '%s\n' "${targets[@]}"
  exit 0
fi
if [ $# -lt 2 ]; then
  sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'
  exit 64
fi
which="$1"
seconds="$2"
shift 2

if ! command -v clang++ >/dev/null 2>&1 || ! command -v clang >/dev/null 2>&1; then
  echo "fuzz: clang is not installed; fuzzing skipped"
  exit 2
fi

if [ "$which" = all ]; then
  selected=("${targets[@]}")
else
  case " ${targets[*]} " in
    *" $which "*) selected=("$which") ;;
    *) echo "fuzz: unknown target '$which' (see 'fuzz/run.sh list')" >&2; exit 64 ;;
  esac
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKORVALIN_FUZZ=ON -DKORVALIN_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target "${selected[@]}" >/dev/null

mkdir -p "$build/artifacts"
status=0
for target in "${selected[@]}"; do
  mkdir -p "$build/corpus/$target"
  log="$build/$target.log"
  echo "fuzz: $target for ${seconds}s"
  # -close_fd_mask=1 silences the application's banner and progress lines.
  if nice -n "${FUZZ_NICE:-19}" "$build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
      -timeout=10 -rss_limit_mb=2048 -max_len=8192 -close_fd_mask=1 \
      -artifact_prefix="$build/artifacts/$target-" "$@" \
      "$build/corpus/$target" "$root/fuzz/corpus/$target" >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units' "$log" | sed "s/^/fuzz: $target /"
  else
    status=1
    echo "fuzz: $target FAILED; the last lines of $log:"
    tail -n 40 "$log"
  fi
done
exit "$status"
