#!/usr/bin/env bash
# End-to-end: files dragged from a Linux program onto Quillet's list, as from
# a file manager. Wine turns the X11 (XDND) drop onto the list box, which
# accepts files, into WM_DROPFILES. One drop: a plain file, a Japanese name
# whose code page 932 bytes hold 0x5C and "A" (ソアラ), and a .pfs list whose
# lines name three more files, all in a folder named Hélène/ソフト, which no
# ANSI code page can say whole. Run once under Japanese (code page 932) and
# once under English (1252).
#   tests/e2e/drop_test.sh [--keep]   (--keep: leave build/drop-e2e)
# Runs on an Xvfb display of its own, without a window manager, in the Wine
# prefix scripts/wine-env.sh picks. Ends with "drop: N passed, M failed".
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
work="$root/build/drop-e2e"
passed=0 failed=0
check() { if "${@:2}"; then passed=$((passed + 1)); echo "  ok   $1"; else failed=$((failed + 1)); echo "  FAIL $1"; fi; }
wait_for() { local i; for ((i = 0; i < $1 * 5; i++)); do "${@:2}" && return 0; sleep 0.2; done; "${@:2}"; }
pids=()
cleanup() { kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; [ "${1:-}" = --keep ] || rm -rf "$work"; }
trap 'cleanup "$@"' EXIT
rm -rf "$work"
host="$work/host/Hélène/ソフト"
mkdir -p "$host"

source "$root/scripts/wine-env.sh"
quillet_xvfb 1280x1024x24
quillet_window_manager yes   # the drag finds Quillet's window by the X name a managed window carries
pids+=("$QUILLET_XVFB_PID")
home="$work/home"
export PIECE_SIM_HOME="Z:${home//\//\\}"
sim() { "$root/build/native/bin/simctl" --home "$home" "$@"; }
cp932() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }

# The files, as bytes that a byte-for-byte check can tell apart.
printf 'A bytes\0\x01\xff\n' >"$host/A.PEX"
printf 'CP932 名前\r\n' >"$host/ソアラ.TXT"
printf 'alpha' >"$host/ALPHA.PEX"
printf 'beta\r\n' >"$host/beta.dat"
printf '\x00ソアラ2' >"$host/ソアラ2.PEX"
printf 'ALPHA.PEX\r\n\r\nbeta.dat \t\r\nソアラ2.PEX\r\n' | iconv -f UTF-8 -t CP932 >"$host/games.pfs"
soara=$'\x83\x5c\x83\x41\x83\x89\x2e\x74\x78\x74'   # ソアラ.txt in code page 932

window() { xdotool search --onlyvisible --name '^Quillet - ' 2>/dev/null | head -1; }
# Drags FILE... from a window of the drag source onto the middle of Quillet's.
drag() {
  /usr/bin/python3 "$root/tests/e2e/drag_source.py" "$@" >"$work/source.log" 2>&1 &
  pids+=($!)
  wait_for 15 grep -qx ready "$work/source.log"
  eval "$(xdotool getwindowgeometry --shell "$w" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
  xdotool mousemove 60 60 sleep 0.3 mousedown 1 sleep 0.2
  for i in $(seq 1 20); do xdotool mousemove $((60 + (X + WIDTH / 2 - 60) * i / 20)) $((60 + (Y + HEIGHT / 2 - 60) * i / 20)) sleep 0.05; done
  xdotool sleep 0.4 mousemove $((X + WIDTH / 2 + 2)) $((Y + HEIGHT / 2 + 2)) sleep 0.4 mouseup 1
}
listed() { [ -n "$(window)" ]; }
names() { sim list 0 | LC_ALL=C sed -E 's/^ *[0-9]+ //' | LC_ALL=C sort; }
names_are() { [ "$(names)" = "$1" ]; }   # read anew at each try
same() { sim get 0 "$1" "$work/got" 2>/dev/null && cmp -s "$work/got" "$2"; }
for locale in ja_JP.UTF-8 en_US.UTF-8; do
  echo "== $locale"
  sim reset && sim create 0 && printf 'old' >"$work/old" && sim put 0 old.pex "$work/old" || exit 1
  rm -f "$WINEPREFIX/drive_c/windows/Quillet.INI"
  (cd "$QUILLET_WIN_BUILD/bin" && LANG=$locale LC_ALL=$locale exec "$QUILLET_WINE" Quillet.exe) >"$work/quillet.log" 2>&1 &
  quillet=$! pids+=($!)
  check "Quillet lists the device" wait_for 30 listed
  w="$(window)"
  drag "$host/A.PEX" "$host/ソアラ.TXT" "$host/games.pfs"
  check "the drop is taken" wait_for 15 grep -qx 'drag-end ok' "$work/source.log"

  want="$(printf '%s\n' a.pex alpha.pex beta.dat old.pex "$soara" "$(cp932 ソアラ2.pex)" | LC_ALL=C sort)"
  check "the files and the list's files reach the device under their names in code page 932, lowered" \
    wait_for 15 names_are "$want"
  check "a.pex holds A.PEX's bytes" same a.pex "$host/A.PEX"
  check "ソアラ.txt holds its bytes" same "$soara" "$host/ソアラ.TXT"
  check "ソアラ2.pex from the list's folder holds its bytes" same "$(cp932 ソアラ2.pex)" "$host/ソアラ2.PEX"
  # Files dropped while a slow write runs (a second start's, 4 s) are
  # written after it.
  sim state 0 rate 32768
  head -c 131072 /dev/zero >"$work/slow.pex" && printf 'late' >"$work/late.pex"
  (cd "$QUILLET_WIN_BUILD/bin" && LANG=$locale LC_ALL=$locale exec "$QUILLET_WINE" Quillet.exe "Z:${work//\//\\}\\slow.pex") &
  pids+=($!)
  writing() { xdotool search --onlyvisible --name '^Quillet - .* slow.pex' >/dev/null 2>&1; }
  wait_for 15 writing
  drag "$work/late.pex"
  check "a drop while the device writes is taken" wait_for 15 grep -qx 'drag-end ok' "$work/source.log"
  check "and written after the write" wait_for 15 same late.pex "$work/late.pex"
  check "and the slow file too" wait_for 15 same slow.pex "$work/slow.pex"
  sim state 0 rate 0
  xdotool key --window "$w" Escape 2>/dev/null
  check "Escape ends Quillet" wait_for 15 test ! -e "/proc/$quillet"
  timeout 15 wineserver -w 2>/dev/null
done
echo "drop: $passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
