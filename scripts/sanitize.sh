#!/usr/bin/env bash
# Builds the native unit tests with AddressSanitizer and UndefinedBehavior-
# Sanitizer in build/asan and runs them. Any sanitizer report fails the run.
#   scripts/sanitize.sh [gtest filter]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/asan"
cxx="${CXX:-g++}"
cc="${CC:-gcc}"
flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

mkdir -p "$root/build"
CC="$cc" CXX="$cxx" cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  >"$build.configure.log" 2>&1 || { cat "$build.configure.log" >&2; exit 2; }
cmake --build "$build" -j2 --target unit_tests >"$build.build.log" 2>&1 ||
  { tail -50 "$build.build.log" >&2; exit 2; }

# A report ends the process with an error; leaks are reports too.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:exitcode=23"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:exitcode=24"
log="$build/unit_tests.log"
set +e
"$build/tests/unit_tests" --gtest_filter="${1:-*}" >"$log" 2>&1
rc=$?
set -e
if grep -qE "ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:" "$log"; then
  grep -nE -A20 "ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:" "$log" | head -80 >&2
  echo "sanitize: sanitizer reports (full log: $log)" >&2
  exit 1
fi
tail -3 "$log"
if [ "$rc" -ne 0 ]; then
  grep -E "^\[  FAILED  \]" "$log" >&2 || true
  echo "sanitize: unit tests failed with exit $rc (log: $log)" >&2
  exit 1
fi
echo "sanitize: unit tests pass under ASan and UBSan, no reports"
