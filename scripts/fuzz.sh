#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan and UBSan) in build/fuzz and
# runs each for a bounded time from its seed corpus in tests/fuzz/corpus.
# Prints executions and findings per target; exits non-zero on any finding.
#   scripts/fuzz.sh [seconds per target] [target ...]   (default 10, all)
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-10}"
shift || true
build="$root/build/fuzz"
all=(directory path_list transfer_list launcher icon_size path_util)
[ $# -gt 0 ] && targets=("$@") || targets=("${all[@]}")

# The largest inputs worth trying: the directory buffer is 8192 bytes.
max_len_of() { [ "$1" = directory ] && echo 8300 || echo 4096; }

command -v clang++ >/dev/null || { echo "fuzz: clang++ is not installed" >&2; exit 2; }
CC=clang CXX=clang++ cmake -S "$root/tests/fuzz" -B "$build" \
  >"$build.configure.log" 2>&1 || { cat "$build.configure.log" >&2; exit 2; }
targets_built=()
for t in "${targets[@]}"; do targets_built+=("${t}_fuzz"); done
cmake --build "$build" -j2 --target "${targets_built[@]}" >"$build.build.log" 2>&1 ||
  { tail -50 "$build.build.log" >&2; exit 2; }

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

failed=0
printf '%-15s %12s %9s  %s\n' target executions findings note
for t in "${targets[@]}"; do
  work="$build/work/$t"
  artifacts="$build/artifacts/$t"
  log="$build/logs/$t.log"
  # The committed seeds stay as they are; new inputs go to a work corpus.
  rm -rf "$work" "$artifacts"
  mkdir -p "$work" "$artifacts" "$(dirname "$log")"
  "$build/fuzz/${t}_fuzz" "$work" "$root/tests/fuzz/corpus/$t" \
    -max_total_time="$seconds" -max_len="$(max_len_of "$t")" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" \
    >"$log" 2>&1
  rc=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  findings=$(find "$artifacts" -type f | wc -l)
  note=""
  if [ "$rc" -ne 0 ] || [ "$findings" -gt 0 ]; then
    failed=1
    [ "$findings" -eq 0 ] && findings=1
    note="exit $rc, see $log"
  fi
  printf '%-15s %12s %9s  %s\n' "$t" "${execs:-?}" "$findings" "$note"
done
if [ "$failed" -ne 0 ]; then
  echo "fuzz: findings; inputs are in $build/artifacts" >&2
  exit 1
fi
echo "fuzz: no findings in ${#targets[@]} targets (${seconds} s each)"
