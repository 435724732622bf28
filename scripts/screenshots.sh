#!/usr/bin/env bash
# Takes the README's pictures under a Japanese and an English system
# language: the file list, its system menu, the list's own menu, and the box
# start-up shows when the device's directory cannot be read. Writes
# docs/list-<locale>.png, docs/menu-<locale>.png, docs/commands-<locale>.png
# and docs/box-<locale>.png, docs/quillet.png, the list with the about
# box, and docs/progress.png, the progress window. Needs a build
# (scripts/build.sh); runs on a private Xvfb display and Wine prefix.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
export QUILLET_WINEPREFIX="$root/build/shots-wineprefix"
source scripts/wine-env.sh
simctl="$root/build/native/bin/simctl"
home="$root/build/shots-device"
bin="$QUILLET_WIN_BUILD/bin"
export PIECE_SIM_HOME="Z:${home//\//\\}"

quillet_xvfb 1024x768x24
trap 'wineserver -k 2>/dev/null || true; kill "$QUILLET_XVFB_PID" 2>/dev/null || true' EXIT

device() {  # a device with sample files, some with Japanese names
  local name
  "$simctl" --home "$home" reset >/dev/null
  "$simctl" --home "$home" create 0 >/dev/null
  for name in startup.pex ゲーム.pex パズル.pex hiscore.dat メモ.txt; do
    head -c $(( ${#name} * 1500 )) /dev/zero >build/shots-data
    "$simctl" --home "$home" put 0 "$(printf '%s' "$name" | iconv -t CP932)" build/shots-data >/dev/null
  done
  : >"$home/calls.log"
}

start() {  # waits until Quillet has read the directory, then lets it paint
  rm -f "$WINEPREFIX/drive_c/windows/Quillet.INI"
  (cd "$bin" && exec "$QUILLET_WINE" explorer /desktop=Shots,480x360 Quillet.exe) &
  for _ in $(seq 120); do
    grep -q '^ismPFFSDir' "$home/calls.log" 2>/dev/null && break
    sleep 0.5
  done
  sleep 2
}

for locale in ja_JP.UTF-8 en_US.UTF-8; do
  export LANG=$locale LC_ALL=$locale
  tag=${locale%%.*}
  device
  start
  import -window root -crop 480x360+0+0 "docs/list-$tag.png"
  xdotool key alt+space
  sleep 1
  import -window root -crop 480x360+0+0 "docs/menu-$tag.png"
  # Out of the system menu, then a right click on ゲーム.pex, where the
  # centred window shows it.
  xdotool key Escape sleep 0.3 key Escape sleep 0.5 mousemove 230 129 click 3
  sleep 1
  import -window root -crop 480x360+0+0 "docs/commands-$tag.png"
  wineserver -k 2>/dev/null || true
  wineserver -w

  device
  "$simctl" --home "$home" fault ismPFFSDir 1 1 >/dev/null
  start
  import -window root -crop 480x360+0+0 "docs/box-$tag.png"
  wineserver -k 2>/dev/null || true
  wineserver -w
  echo "docs/list-$tag.png docs/menu-$tag.png docs/commands-$tag.png docs/box-$tag.png"
done

# The README's first picture: the list of the demo's files and the about box
# beside it, on a Japanese system.
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
"$simctl" --home "$home" reset >/dev/null
"$simctl" --home "$home" create 0 >/dev/null
for sample in startup.pex:24576 hiscore.dat:512 tetris.pex:30720 ゲーム.pex:18432 パズル.pex:9216 メモ.txt:1200; do
  head -c "${sample#*:}" /dev/zero >build/shots-data
  "$simctl" --home "$home" put 0 "$(printf '%s' "${sample%%:*}" | iconv -t CP932)" build/shots-data >/dev/null
done
: >"$home/calls.log"
printf '[position]\r\nleft=6\r\ntop=6\r\nright=186\r\nbottom=254\r\n' >"$WINEPREFIX/drive_c/windows/Quillet.INI"
(cd "$bin" && exec "$QUILLET_WINE" explorer /desktop=Shots,880x260 Quillet.exe) &
for _ in $(seq 120); do grep -q '^ismPFFSDir' "$home/calls.log" 2>/dev/null && break; sleep 0.5; done
sleep 2
xdotool key alt+space
sleep 0.5
xdotool key Up Up Return   # the about item, above the report's
sleep 1.5
import -window root -crop 640x260+0+0 docs/quillet.png  # the box stands in the middle of the desktop
wineserver -k 2>/dev/null || true
wineserver -w
echo "docs/quillet.png"

# The progress window: three files handed over to a slow device, and a
# fourth that waits its turn, while the second is written.
"$simctl" --home "$home" reset >/dev/null
"$simctl" --home "$home" create 0 1048576 >/dev/null
"$simctl" --home "$home" state 0 rate 40000 >/dev/null
mkdir -p build/shots-files
head -c 300000 /dev/zero >build/shots-files/tetris.pex
head -c 100000 /dev/zero >"build/shots-files/$(printf 'ゲーム.pex')"
head -c 5000 /dev/zero >build/shots-files/hiscore.dat
head -c 9000 /dev/zero >"build/shots-files/$(printf 'パズル.pex')"
: >"$home/calls.log"
rm -f "$WINEPREFIX/drive_c/windows/Quillet.INI"
files="Z:${root//\//\\}\\build\\shots-files\\"
(cd "$bin" && exec "$QUILLET_WINE" explorer /desktop=Shots,480x300 Quillet.exe) &
for _ in $(seq 120); do grep -q '^ismPFFSDir' "$home/calls.log" 2>/dev/null && break; sleep 0.5; done
sleep 1
(cd "$bin" && exec "$QUILLET_WINE" explorer /desktop=Shots,480x300 Quillet.exe "${files}tetris.pex" "${files}ゲーム.pex" "${files}hiscore.dat") &
sleep 3
(cd "$bin" && exec "$QUILLET_WINE" explorer /desktop=Shots,480x300 Quillet.exe "${files}パズル.pex") &
sleep 5.5
import -window root -crop 480x300+0+0 docs/progress.png
wineserver -k 2>/dev/null || true
wineserver -w
echo "docs/progress.png"
