#!/usr/bin/env bash
# End-to-end: files dragged from a Linux program onto Quillet's list, as a
# user drags them from a file manager. Wine turns the X11 (XDND) drop onto
# the list box, which accepts files, into WM_DROPFILES.
#
#   tests/e2e/drop_test.sh [--win-build DIR] [--simctl PATH] [--keep]
#
# --win-build  the Windows build whose bin/ holds Quillet.exe and pieceif.dll
#              (default: the one scripts/wine-env.sh picks for this machine)
# --simctl     the native simulator tool (default build/native/bin/simctl)
# --keep       leave the work folder build/drop-e2e (screenshots, logs)
#
# Runs on an Xvfb display of its own, without a window manager, so that the
# pointer it moves is nobody else's. Uses the Wine prefix that
# scripts/wine-env.sh chooses (QUILLET_WINEPREFIX to pick another) and
# removes Quillet.INI from its Windows folder before each case. Every wait
# is bounded. Ends with "drop: N passed, M failed"; exit status 0 only when
# everything passed.
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
here="$root/tests/e2e"

win_build=""
simctl="$root/build/native/bin/simctl"
keep=no
while [ $# -gt 0 ]; do
  case "$1" in
    --win-build) win_build="$2"; shift 2 ;;
    --simctl) simctl="$2"; shift 2 ;;
    --keep) keep=yes; shift ;;
    *) echo "usage: $0 [--win-build DIR] [--simctl PATH] [--keep]" >&2; exit 2 ;;
  esac
done

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "  ok   $*"; }
fail() { failed=$((failed + 1)); echo "  FAIL $*"; }
check() {  # check DESCRIPTION COMMAND...: passes when the command succeeds
  local what="$1"; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
summary() {
  echo "drop: $passed passed, $failed failed"
  [ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
}

work="$root/build/drop-e2e"
rm -rf "$work"
mkdir -p "$work"

# --- the processes this script starts, and only those, end with it -------
xvfb_pid=""
quillet_pid=""
source_pid=""
stop_pid() { [ -n "$1" ] && kill "$1" 2>/dev/null && wait "$1" 2>/dev/null; }
running() { [ -n "$1" ] && kill -0 "$1" 2>/dev/null; }
not_running() { ! running "$1"; }
cleanup() {
  stop_pid "$source_pid"
  stop_pid "$quillet_pid"
  stop_pid "$xvfb_pid"
  [ "$keep" = yes ] || rm -rf "$work"
}
trap cleanup EXIT

need() { command -v "$1" >/dev/null 2>&1 || { echo "drop: $1 is missing" >&2; fail "$1 installed"; summary; exit 1; }; }
need Xvfb; need xdotool; need convert; need iconv
if ! /usr/bin/python3 -c 'import gi; gi.require_version("Gtk", "3.0"); from gi.repository import Gtk' 2>/dev/null; then
  echo "drop: /usr/bin/python3 cannot load GTK 3 (packages python3-gi, gir1.2-gtk-3.0)" >&2
  fail "GTK 3 for the drag source"; summary; exit 1
fi
if [ ! -x "$simctl" ]; then
  echo "drop: no simulator tool at $simctl" >&2
  fail "simctl built"; summary; exit 1
fi

# --- Wine and a display of our own ---------------------------------------
source "$root/scripts/wine-env.sh"
[ -n "$win_build" ] || win_build="$QUILLET_WIN_BUILD"
bin="$win_build/bin"
if [ ! -f "$bin/Quillet.exe" ] || [ ! -f "$bin/pieceif.dll" ]; then
  echo "drop: Quillet.exe or pieceif.dll missing in $bin" >&2
  fail "program built"; summary; exit 1
fi
ini="$WINEPREFIX/drive_c/windows/Quillet.INI"

# A display number well above the ones that programs fall back on, so that
# no stray client of someone else's shows a window where the pointer goes.
display=""
for n in $(seq 150 199); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    running "$xvfb_pid" || break
    sleep 0.1
  done
  if running "$xvfb_pid" && [ -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
  stop_pid "$xvfb_pid"; xvfb_pid=""
done
if [ -z "$display" ]; then
  echo "drop: Xvfb did not start" >&2
  fail "display"; summary; exit 1
fi
export DISPLAY="$display"
echo "drop: wine $QUILLET_WIN_BITS-bit, programs from ${bin#$root/}, display $DISPLAY"

# The simulated device lives in a host folder; the program finds it by its
# Windows path.
home="$work/home"
export PIECE_SIM_HOME="Z:${home//\//\\}"
sim() { "$simctl" --home "$home" "$@"; }

# CP932 bytes of a UTF-8 text: device names and the INI are CP932.
cp932() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }

# wait_for SECONDS COMMAND...: polls every 0.2 s until the command succeeds.
wait_for() {
  local limit=$(( $1 * 5 )); shift
  local i
  for ((i = 0; i < limit; i++)); do "$@" && return 0; sleep 0.2; done
  "$@"
}

# Windows of the Quillet this script started (Wine gives them its process id).
main_window() { xdotool search --all --onlyvisible --pid "$quillet_pid" --name '^Quillet - ' 2>/dev/null | head -1; }
has_main_window() { [ -n "$(main_window)" ]; }
title_of() { xdotool getwindowname "$1" 2>/dev/null; }
title_is_not() { [ "$(title_of "$1")" != "$2" ]; }

# Any message box of the program: a window titled "Quillet" alone.
box_open() { xdotool search --all --onlyvisible --pid "$quillet_pid" --name '^Quillet$' >/dev/null 2>&1; }

shot() { import -window root "$work/$1.png" 2>/dev/null; }

# start_quillet: a fresh program on the prepared device; sets quillet_pid and
# window. The settings file goes first, so each case starts from defaults.
start_quillet() {
  rm -f "$ini"
  window=""
  (cd "$bin" && exec "$QUILLET_WINE" Quillet.exe) >"$work/quillet-$1.log" 2>&1 &
  quillet_pid=$!
  if ! wait_for 30 has_main_window; then
    shot "$1-no-window"
    running "$quillet_pid" || echo "    Quillet ended at once (another instance in this prefix?)"
    return 1
  fi
  window="$(main_window)"
  # The first listing is in once the title shows the device's status.
  wait_for 10 title_is_not "$window" "Quillet" || true
}

# close_quillet: Escape closes the main window; the program then saves its
# settings and ends.
close_quillet() {
  xdotool key --window "$window" Escape 2>/dev/null
  if ! wait_for 15 not_running "$quillet_pid"; then
    stop_pid "$quillet_pid"; quillet_pid=""
    return 1
  fi
  wait "$quillet_pid" 2>/dev/null
  quillet_pid=""
}

# drag FILE...: a drag source window with the files at the top left; the
# pointer presses on it, moves onto the middle of Quillet's list in steps,
# rests there and lets go. Leaves the source's report in $work/source.log.
drag() {
  /usr/bin/python3 "$here/drag_source.py" --title "drop source" --x 40 --y 40 \
      --size 120 --life 40 "$@" >"$work/source.log" 2>&1 &
  source_pid=$!
  if ! wait_for 15 grep -qx ready "$work/source.log"; then
    echo "    the drag source did not come up:"; sed 's/^/    | /' "$work/source.log"
    stop_pid "$source_pid"; source_pid=""
    return 1
  fi
  local X Y WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$window" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
  local fx=100 fy=100 tx=$((X + WIDTH / 2)) ty=$((Y + HEIGHT / 2)) i
  xdotool mousemove "$fx" "$fy"; sleep 0.3
  xdotool mousedown 1; sleep 0.2
  for i in $(seq 1 20); do
    xdotool mousemove $((fx + (tx - fx) * i / 20)) $((fy + (ty - fy) * i / 20))
    sleep 0.05
  done
  # Wiggle over the target so that it answers the position before the drop.
  sleep 0.4; xdotool mousemove $((tx + 2)) $((ty + 2)); sleep 0.4
  xdotool mouseup 1
  local ended=no
  wait_for 15 grep -q '^drag-end' "$work/source.log" && ended=yes
  wait "$source_pid" 2>/dev/null; source_pid=""
  [ "$ended" = yes ] && grep -qx 'drag-end ok' "$work/source.log"
}

# Device checks.
# Names are CP932 bytes: text tools look at them in the C locale.
device_names() { sim list 0 | LC_ALL=C sed -E 's/^ *[0-9]+ //'; }
device_has() { device_names | LC_ALL=C grep -qxF -- "$1"; }
all_on_device() { local n; for n in "$@"; do device_has "$n" || return 1; done; }
# same_bytes DEVICE-NAME HOST-FILE
same_bytes() {
  rm -f "$work/got"
  sim get 0 "$1" "$work/got" 2>/dev/null && cmp -s "$work/got" "$2"
}
# device_is NAME...: the device holds exactly these files (any order).
device_is() {
  [ "$(device_names | LC_ALL=C sort)" = "$(printf '%s\n' "$@" | LC_ALL=C sort)" ]
}

# lru_is NAME...: section "lru" of the settings file holds these names in
# this order (front first), and its count.
lru_is() {
  [ -f "$ini" ] || return 1
  local got want i=0 n
  got="$(LC_ALL=C sed -n '/^\[lru\]/,/^\[/p' "$ini" | LC_ALL=C tr -d '\r' |
         LC_ALL=C grep -E '^(file[0-9]+|count)=' | LC_ALL=C sort)"
  want="$(for n in "$@"; do printf 'file%d=%s\n' "$i" "$n"; i=$((i + 1)); done
          printf 'count=%d\n' "$#")"
  want="$(printf '%s\n' "$want" | LC_ALL=C sort)"
  [ "$got" = "$want" ] || { echo "    lru in the settings file:"; printf '%s\n' "$got" | iconv -f CP932 -t UTF-8 | sed 's/^/    | /'; return 1; }
}

# selection_mask ROWS: from a screenshot, which of the first ROWS items of
# the list show the selection colour ("1") or not ("0"). The list fills the
# window's client area: a 1-pixel border and a 1-pixel margin, then the
# items. Looked at in a column a few pixels in, left of the right-aligned
# sizes. The item height is taken from the first item, which the cases
# arrange to be selected while the second is not; with nothing selected
# the mask is all "0".
selection_mask() {
  local rows="$1" X Y WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$window" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
  shot selection
  convert "$work/selection.png" -crop "1x$((HEIGHT - 2))+$((X + 5))+$((Y + 2))" +repage txt:- 2>/dev/null |
    awk -v rows="$rows" '
      # One character per pixel row: 1 where the selection colour (blue well
      # above red) shows, else 0.
      /^[0-9]+,[0-9]+:/ {
        if (match($0, /\(([0-9.]+),([0-9.]+),([0-9.]+)/)) {
          split(substr($0, RSTART + 1, RLENGTH - 1), c, ",")
          col = col ((c[3] - c[1] > 100) ? "1" : "0")
        }
      }
      END {
        if (index(col, "1") == 0) { for (i = 0; i < rows; i++) printf "0"; print ""; exit }
        if (substr(col, 1, 1) != "1") { print "first-item-not-selected"; exit }
        # A focus rectangle may break the colour for a pixel or two.
        h = 0; gap = 0
        for (i = 1; i <= length(col); i++) {
          if (substr(col, i, 1) == "1") { h = i; gap = 0 } else if (++gap > 3) break
        }
        if (h < 6) { print "item-height-" h; exit }
        mask = ""
        for (r = 0; r < rows; r++) mask = mask substr(col, r * h + int(h / 2) + 1, 1)
        # Nothing below the last item may look selected.
        if (index(substr(col, rows * h + 3), "1")) mask = mask "+"
        print mask
      }'
}

# ==========================================================================
echo "== drop two host files onto the list"
sim reset
sim create 0
host="$work/host"
mkdir -p "$host"
printf 'game bytes\0\x01\x02\xff\n' >"$host/GAME.PEX"
# ソ ends in 0x5C and ア in "A" in CP932: the name must be split and
# lowered by characters, not by bytes.
jname="ソアラ.TXT"
printf 'CP932 名前のファイル\r\n' >"$host/$jname"
printf 'old' >"$work/old.pex"
sim put 0 old.pex "$work/old.pex"
j_dev="$(cp932 'ソアラ.txt')"

if start_quillet drop2; then
  before="$(title_of "$window")"
  check "the drag source's drop is taken" drag "$host/GAME.PEX" "$host/$jname"
  check "both files reach the device" wait_for 15 all_on_device game.pex "$j_dev"
  # The list is re-read after the write: the title's free space changes.
  wait_for 10 title_is_not "$window" "$before" || true
  check "game.pex holds GAME.PEX's bytes" same_bytes game.pex "$host/GAME.PEX"
  check "ソアラ.txt (CP932, lowered) holds the Japanese file's bytes" same_bytes "$j_dev" "$host/$jname"
  check "nothing else is written" device_is old.pex game.pex "$j_dev"
  check "no message box" eval '! box_open'
  # Items in byte order: game.pex, old.pex, ソアラ.txt; the dropped two selected.
  mask="$(selection_mask 3)"
  check "the dropped files show selected, the old one not (got $mask)" test "$mask" = 101
  check "Escape closes Quillet" close_quillet
  check "lru: old.pex, then the dropped files in drop order" lru_is old.pex game.pex "$j_dev"
else
  fail "Quillet's window comes up (case: two files)"
  stop_pid "$quillet_pid"; quillet_pid=""
fi

# ==========================================================================
echo "== drop a .pfs transfer list onto the list"
sim reset
sim create 0
# The list lies in a folder whose name has a 0x5C second byte (ソ); its
# lines are CP932 text with CR LF ends, a blank line and trailing blanks.
lists="$work/host/ソフト"
mkdir -p "$lists"
printf 'alpha\n' >"$lists/ALPHA.PEX"
printf 'beta data\r\n' >"$lists/beta.dat"
printf '\x00\x10ソアラ2\x7f' >"$lists/ソアラ2.PEX"
printf 'ALPHA.PEX\r\n\r\nbeta.dat \t\r\nソアラ2.PEX\r\n' | iconv -f UTF-8 -t CP932 >"$lists/games.pfs"
j2_dev="$(cp932 'ソアラ2.pex')"

if start_quillet pfs; then
  before="$(title_of "$window")"
  check "the drag source's drop is taken" drag "$lists/games.pfs"
  check "the listed files reach the device" wait_for 15 all_on_device alpha.pex beta.dat "$j2_dev"
  wait_for 10 title_is_not "$window" "$before" || true
  check "alpha.pex holds ALPHA.PEX's bytes" same_bytes alpha.pex "$lists/ALPHA.PEX"
  check "beta.dat holds beta.dat's bytes" same_bytes beta.dat "$lists/beta.dat"
  check "ソアラ2.pex holds the Japanese file's bytes" same_bytes "$j2_dev" "$lists/ソアラ2.PEX"
  check "the list file itself is not written" device_is alpha.pex beta.dat "$j2_dev"
  check "no message box" eval '! box_open'
  # Selection follows the dropped names, and games.pfs names no device file.
  mask="$(selection_mask 3)"
  check "nothing shows selected (got $mask)" test "$mask" = 000
  check "Escape closes Quillet" close_quillet
  check "lru: the listed files in list order" lru_is alpha.pex beta.dat "$j2_dev"
else
  fail "Quillet's window comes up (case: transfer list)"
  stop_pid "$quillet_pid"; quillet_pid=""
fi

# Wine's helper processes of this prefix end on their own once Quillet is
# gone; give them a moment so that the display is not pulled from under them.
timeout 15 wineserver -w 2>/dev/null || true

summary
