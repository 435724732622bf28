#!/usr/bin/env bash
# Runs every test: installs what is missing, builds, runs the native unit
# tests, checks the program file's imports, and runs the end-to-end tests
# under Wine (on Xvfb when there is no display). Ends with one line
#   tests: N passed, M failed
# and exits non-zero if anything failed.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
logs="$root/build/test-logs"
started=$(date +%s)

passed=0
failed=0
finish() {
  echo
  echo "time: $(( $(date +%s) - started )) s"
  echo "tests: $passed passed, $failed failed"
  [ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
  exit $?
}

bash scripts/setup.sh || { echo "setup failed"; failed=$((failed + 1)); finish; }
mkdir -p "$logs"

echo "== build"
# Programs are removed first: those present afterwards were built by this run.
rm -f build/native/tests/unit_tests build/cross/bin/*.exe build/cross64/bin/*.exe
if QUILLET_KEEP_GOING=1 bash scripts/build.sh >"$logs/build.log" 2>&1; then
  echo "build: ok"
else
  grep -E 'error|Error [0-9]' "$logs/build.log" | head -40
  echo "build: failed (log: $logs/build.log); testing what was built"
  failed=$((failed + 1))
fi

echo "== unit tests (native)"
[ -x build/native/tests/unit_tests ] || echo "unit: unit_tests was not built"
ctest --test-dir build/native --output-on-failure -j2 --timeout 120 >"$logs/unit.log" 2>&1
grep -vE '^ *([0-9]+\/[0-9]+ Test +#[0-9]+: .* Passed|Start +[0-9]+:)' "$logs/unit.log" | tail -40
summary="$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$logs/unit.log" | tail -1)"
if [ -n "$summary" ]; then
  unit_total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$summary")
  unit_failed=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$summary")
  passed=$((passed + unit_total - unit_failed))
  failed=$((failed + unit_failed))
  echo "unit: $((unit_total - unit_failed)) passed, $unit_failed failed"
else
  echo "unit: no result"
  failed=$((failed + 1))
fi

echo "== program file"
if [ ! -f build/cross/bin/Quillet.exe ]; then
  echo "Quillet.exe was not built"
  failed=$((failed + 1))
elif bash tests/e2e/check_imports.sh build/cross/bin/Quillet.exe; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
fi

echo "== sanitizers (ASan, UBSan)"
if bash scripts/sanitize.sh >"$logs/sanitize.log" 2>&1; then
  passed=$((passed + 1)); echo "sanitize: ok"
else
  failed=$((failed + 1)); echo "sanitize: failed (log: $logs/sanitize.log)"
fi
tail -3 "$logs/sanitize.log"

echo "== fuzzing (${QUILLET_FUZZ_SECONDS:-10} s a target)"
if bash scripts/fuzz.sh "${QUILLET_FUZZ_SECONDS:-10}" >"$logs/fuzz.log" 2>&1; then
  passed=$((passed + 1)); echo "fuzz: ok"
else
  failed=$((failed + 1)); echo "fuzz: failed (log: $logs/fuzz.log)"
fi
tail -12 "$logs/fuzz.log"

echo "== end-to-end tests (Wine)"
# A fresh prefix for every run, never the user's own.
rm -rf "$root/build/wineprefix"
source scripts/wine-env.sh
echo "wine: $QUILLET_WIN_BITS-bit, programs from ${QUILLET_WIN_BUILD#$root/}"
QUILLET_XVFB_PID=""
[ -n "${DISPLAY:-}" ] || quillet_xvfb 1280x1024x24
echo "display: $DISPLAY"

e2e_exe="$QUILLET_WIN_BUILD/bin/e2e_tests.exe"
[ -f "$e2e_exe" ] || echo "e2e: $e2e_exe was not built"
# Every flow under Japanese (ANSI code page 932) and under English (1252):
# the program must behave the same on every system language.
for locale in ja_JP.UTF-8 en_US.UTF-8; do
  log="$logs/e2e-${locale%%.*}.log"
  [ -f "$e2e_exe" ] && (cd "$(dirname "$e2e_exe")" &&
    LANG=$locale LC_ALL=$locale timeout 900 "$QUILLET_WINE" e2e_tests.exe --gtest_color=no) >"$log" 2>&1
  e2e_status=$?
  grep -E '^\[ *(FAILED|PASSED|==========) *\]|Failure|^[^[]*(Value of|Expected|Which is|Actual)|_test\.cpp:[0-9]+: [^F]' "$log" | tail -60
  ran=$(sed -nE 's/^\[==========\] ([0-9]+) tests? from .* ran\..*/\1/p' "$log" | tail -1)
  ok=$(sed -nE 's/^\[  PASSED  \] ([0-9]+) tests?\..*/\1/p' "$log" | tail -1)
  if [ -n "$ran" ]; then
    ok=${ok:-0}
    passed=$((passed + ok))
    failed=$((failed + ran - ok))
    echo "e2e ($locale): $ok passed, $((ran - ok)) failed"
  else
    echo "e2e ($locale): no result (exit status $e2e_status, log: $log)"
    tail -20 "$log"
    failed=$((failed + 1))
  fi
done

# Script-driven end-to-end tests (tests/e2e/*_test.sh): each ends with a line
# "WORD: N passed, M failed", or counts as one test by its exit status.
for script in tests/e2e/*_test.sh; do
  [ -e "$script" ] || continue
  name="$(basename "$script" .sh)"
  echo "== $name"
  timeout 900 bash "$script" >"$logs/$name.log" 2>&1
  status=$?
  grep -E 'FAIL|^[a-z0-9_-]+: [0-9]+ passed, [0-9]+ failed' "$logs/$name.log" | tail -20
  line="$(grep -E '^[a-z0-9_-]+: [0-9]+ passed, [0-9]+ failed' "$logs/$name.log" | tail -1)"
  if [ -n "$line" ]; then
    p=$(sed -E 's/.*: ([0-9]+) passed.*/\1/' <<<"$line")
    f=$(sed -E 's/.* ([0-9]+) failed.*/\1/' <<<"$line")
    [ "$status" -ne 0 ] && [ "$f" -eq 0 ] && f=1
    passed=$((passed + p))
    failed=$((failed + f))
  elif [ "$status" -eq 0 ]; then
    passed=$((passed + 1))
  else
    echo "$name: exit status $status (log: $logs/$name.log)"
    failed=$((failed + 1))
  fi
done

wineserver -k 2>/dev/null || true
[ -n "$QUILLET_XVFB_PID" ] && kill "$QUILLET_XVFB_PID" 2>/dev/null
finish
