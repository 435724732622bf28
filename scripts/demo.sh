#!/usr/bin/env bash
# Builds Quillet and starts it under Wine on a simulated P/ECE that holds a
# few sample files. On a display it runs until you close its window; with no
# display it runs on Xvfb, writes a screenshot to build/demo.png and ends.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

bash scripts/setup.sh
mkdir -p build   # a fresh clone has none; the build log goes there
echo "building (the first build takes a few minutes)..."
bash scripts/build.sh >build/demo-build.log 2>&1 ||
  { tail -30 build/demo-build.log; echo "build failed: build/demo-build.log"; exit 1; }
source scripts/wine-env.sh

# The simulated device: build/demo-device, device 0, sample files.
home="$root/build/demo-device"
samples="$root/build/demo-samples"
simctl="$root/build/native/bin/simctl"
mkdir -p "$samples"
sample() {  # NAME-in-UTF-8 SIZE: a file of SIZE bytes under its CP932 name
  local name; name="$(printf '%s' "$1" | iconv -f UTF-8 -t CP932)"
  head -c "$2" /dev/urandom >"$samples/data"
  "$simctl" --home "$home" put 0 "$name" "$samples/data" >/dev/null
}
"$simctl" --home "$home" reset >/dev/null
"$simctl" --home "$home" create 0 >/dev/null
sample startup.pex 24576
sample ゲーム.pex 18432
sample パズル.pex 9216
sample hiscore.dat 512
sample メモ.txt 1200
sample tetris.pex 30720
# QUILLET_DEMO_RATE=BYTES makes a slow device, one that moves BYTES a second.
"$simctl" --home "$home" state 0 rate "${QUILLET_DEMO_RATE:-0}"
"$simctl" --home "$home" list 0 | iconv -f CP932 -t UTF-8 || true

# Wine sees the host's / as drive Z:.
export PIECE_SIM_HOME="Z:${home//\//\\}"
bin="$QUILLET_WIN_BUILD/bin"
# A first start: the window opens centred with the default settings.
rm -f "$WINEPREFIX/drive_c/windows/Quillet.INI"

if [ -n "${DISPLAY:-}" ]; then
  quillet_window_manager yes
  echo "starting Quillet on $DISPLAY (close its window to end)"
  cd "$bin" && "$QUILLET_WINE" Quillet.exe
  exit 0
fi

quillet_xvfb 1024x768x24
trap 'wineserver -k 2>/dev/null || true; kill "$QUILLET_XVFB_PID" 2>/dev/null || true' EXIT
echo "no display: running Quillet on Xvfb $DISPLAY"

# Xvfb has no window manager: a Wine desktop draws the window's frame.
: >"$home/calls.log"
(cd "$bin" && exec "$QUILLET_WINE" explorer /desktop=Demo,800x600 Quillet.exe) &
# The window is up once it has read the device's directory.
for _ in $(seq 120); do
  grep -q '^ismPFFSDir' "$home/calls.log" 2>/dev/null && break
  sleep 0.5
done
if ! grep -q '^ismPFFSDir' "$home/calls.log" 2>/dev/null; then
  echo "Quillet did not read the device"
  exit 1
fi
sleep 2  # let it paint
import -window root -crop 800x600+0+0 build/demo.png
title="$(xdotool search --name '^Quillet' getwindowname 2>/dev/null | head -1 || true)"
echo "window: ${title:-?}"
echo "screenshot: build/demo.png"
# The window lists the device: its title carries the device's status.
case "$title" in "Quillet - "*) ;; *) echo "demo: no file list window"; exit 1 ;; esac
