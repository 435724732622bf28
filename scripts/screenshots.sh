#!/usr/bin/env bash
# Takes the README's pictures under a Japanese and an English system
# language: the file list, its system menu, and the box start-up shows when
# the device's directory cannot be read. Writes docs/list-<locale>.png,
# docs/menu-<locale>.png and docs/box-<locale>.png. Needs a build
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
  wineserver -k 2>/dev/null || true
  wineserver -w

  device
  "$simctl" --home "$home" fault ismPFFSDir 1 1 >/dev/null
  start
  import -window root -crop 480x360+0+0 "docs/box-$tag.png"
  wineserver -k 2>/dev/null || true
  wineserver -w
  echo "docs/list-$tag.png docs/menu-$tag.png docs/box-$tag.png"
done
