#!/usr/bin/env bash
# Builds build/native (g++: core, unit tests, simulator tool) and build/cross
# (i686-w64-mingw32: Quillet.exe, pieceif.dll, e2e_tests.exe). Where this
# machine's Wine runs only 64-bit programs it also builds build/cross64, the
# same sources for x86_64, which the end-to-end tests then run.
#   scripts/build.sh [native|cross|cross64|all]   (default all)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
what="${1:-all}"
jobs=2

configure_and_build() {
  local dir="$1"; shift
  cmake -S "$root" -B "$root/build/$dir" "$@" >"$root/build/$dir.configure.log" 2>&1 ||
    { cat "$root/build/$dir.configure.log" >&2; return 1; }
  # QUILLET_KEEP_GOING=1: build every target that can be built, so that one
  # broken file does not keep the others from being tested.
  if [ "${QUILLET_KEEP_GOING:-0}" = 1 ]; then
    cmake --build "$root/build/$dir" -j"$jobs" -- -k
  else
    cmake --build "$root/build/$dir" -j"$jobs"
  fi
}

mkdir -p "$root/build"
status=0
case "$what" in native|all)
  configure_and_build native || status=1 ;;
esac
case "$what" in cross|all)
  configure_and_build cross -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" || status=1 ;;
esac

need64=no
if [ "$what" = cross64 ]; then
  need64=yes
elif [ "$what" = all ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1 &&
     command -v x86_64-w64-mingw32-g++ >/dev/null; then
  need64=yes
fi
if [ "$need64" = yes ]; then
  configure_and_build cross64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" || status=1
fi
exit $status
