#!/usr/bin/env bash
# Runs every benchmark and prints one table; each figure is measured side by
# side with its floor in the same run. Figures, not pass/fail.
#   scripts/bench.sh
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
logs="$root/build/bench-logs"
mkdir -p "$logs"

bash scripts/setup.sh >/dev/null || exit 1
bash scripts/build.sh >"$logs/build.log" 2>&1 || { tail -20 "$logs/build.log"; exit 1; }

QUILLET_WINEPREFIX="$root/build/bench-wineprefix" source scripts/wine-env.sh
QUILLET_XVFB_PID=""
[ -n "${DISPLAY:-}" ] || quillet_xvfb 1280x1024x24
# The programs run stripped, as they are shipped; the floors are stripped too.
bin="$logs/run"
rm -rf "$bin"
mkdir -p "$bin"
strip_tool="$([ "$QUILLET_WIN_BITS" = 64 ] && echo x86_64 || echo i686)-w64-mingw32-strip"
for f in "$QUILLET_WIN_BUILD"/bin/*.exe "$QUILLET_WIN_BUILD"/bin/*.dll; do
  case "$(basename "$f")" in e2e_tests.exe) continue ;; esac
  "$strip_tool" -o "$bin/$(basename "$f")" "$f"
done
(cd "$bin" && "$QUILLET_WINE" startup_bench.exe 31) >"$logs/startup.txt" 2>&1
(cd "$bin" && "$QUILLET_WINE" refresh_bench.exe 20) >"$logs/refresh.txt" 2>&1
(cd "$bin" && "$QUILLET_WINE" transfer_bench.exe 5) >"$logs/transfer.txt" 2>&1
(cd "$bin" && "$QUILLET_WINE" ping_bench.exe) >"$logs/ping.txt" 2>&1
wineserver -k 2>/dev/null
[ -n "$QUILLET_XVFB_PID" ] && kill "$QUILLET_XVFB_PID" 2>/dev/null

field() { grep -E "$2" "$logs/$1" | head -1 | grep -oE '[0-9]+\.[0-9]+' | head -1; }
exe=build/cross/bin/Quillet.exe
stripped="$logs/Quillet-stripped.exe"
i686-w64-mingw32-strip -o "$stripped" "$exe"
imports=$(i686-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print $3}' | tr '\n' ' ')

printf '%-44s %12s %12s %8s\n' "benchmark" "measured" "floor" "ratio"
printf '%-44s %12s %12s %8s\n' "start-up until a 50-file list shows (ms)" \
  "$(field startup.txt 'startup Quillet')" "$(field startup.txt 'minimal dialog')" "$(field startup.txt 'startup ratio')"
printf '%-44s %12s %12s %8s\n' "  against the fair floor (ms)" \
  "" "$(field startup.txt 'fair dialog')" "$(field startup.txt 'startup fair ratio')"
printf '%-44s %12s %12s %8s\n' "refresh of a full 8192-byte directory (ms)" \
  "$(field refresh.txt '^RefreshFileList')" "$(field refresh.txt '^plain fill')" "$(field refresh.txt '^ratio')"
printf '%-44s %12s %12s %8s\n' "  of which the simulated directory read (ms)" \
  "$(grep -oE 'read alone [0-9.]+' "$logs/refresh.txt" | grep -oE '[0-9.]+$')" "" ""
printf '%-44s %12s %12s %8s\n' "200 small files in one transfer (s)" \
  "$(field transfer.txt 'TransferFiles')" "$(field transfer.txt 'bare')" "$(field transfer.txt 'ratio')"
printf '%-44s %12s %12s %8s\n' "longest answer while a slow device writes (ms)" \
  "$(grep -oE 'write +[0-9]+ ms' "$logs/ping.txt" | grep -oE '[0-9]+ ms' | grep -oE '[0-9]+')" "" ""
printf '%-44s %12s %12s %8s\n' "Quillet.exe size, stripped (bytes)" "$(stat -c %s "$stripped")" "" ""
printf '%-44s %s\n' "Quillet.exe imports" "$imports"
echo
echo "machine: $(nproc) cores, $(free -g | awk '/Mem:/ {print $2}') GiB, $(uname -sr), Wine $("$QUILLET_WINE" --version 2>/dev/null) (${QUILLET_WIN_BITS}-bit programs)"
echo "logs: ${logs#$root/}"
