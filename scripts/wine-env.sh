# Source this file: it points Wine at the project's own prefix (never the
# user's ~/.wine) and makes the prefix when it is missing.
#
#   source scripts/wine-env.sh
#   "$QUILLET_WINE" build/cross/bin/Quillet.exe
#
# Exports WINEPREFIX, WINEARCH, WINEDEBUG, LANG, LC_ALL, and:
#   QUILLET_WINE      the Wine loader to run programs with
#   QUILLET_WIN_BITS  32 or 64: which Windows programs that loader runs
#   QUILLET_WIN_BUILD the build folder whose bin/ holds programs for it
#
# Quillet is a 32-bit program and runs under 32-bit Wine. Some machines
# (kernels without 32-bit user space, some sandboxes) cannot start 32-bit
# Linux programs at all, so 32-bit Wine cannot run there; on those the same
# sources are built for 64-bit Windows (build/cross64) and run under 64-bit
# Wine instead, so that the window behaviour is still tested.

QUILLET_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export QUILLET_ROOT

export WINEPREFIX="${QUILLET_WINEPREFIX:-$QUILLET_ROOT/build/wineprefix}"
export WINEDEBUG=-all
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
# No Mono or Gecko installer dialogs while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="

quillet_can_run() { "$1" --version >/dev/null 2>&1; }

if [ -z "${QUILLET_WIN_BITS:-}" ]; then
  if quillet_can_run /usr/lib/wine/wine; then
    QUILLET_WIN_BITS=32
  elif quillet_can_run /usr/lib/wine/wine64; then
    QUILLET_WIN_BITS=64
  else
    echo "wine-env: no Wine loader runs here (install wine32:i386 or wine64)" >&2
    QUILLET_WIN_BITS=32
  fi
fi
if [ "$QUILLET_WIN_BITS" = 64 ]; then
  export WINEARCH=win64
  export QUILLET_WINE=/usr/lib/wine/wine64
  export QUILLET_WIN_BUILD="$QUILLET_ROOT/build/cross64"
else
  export WINEARCH=win32
  export QUILLET_WINE=/usr/lib/wine/wine
  export QUILLET_WIN_BUILD="$QUILLET_ROOT/build/cross"
fi
export QUILLET_WIN_BITS

# Whether Wine leaves its windows to a window manager (yes) or manages them
# itself (no). Xvfb has none, and there Wine would wait two seconds for one
# at the end of every window it left to it (a box, the progress window),
# with the window's thread stopped. Run with the display the programs will
# use: the Wine desktop process this starts stays, and serves them.
quillet_window_manager() {
  if [ "$1" = yes ]; then
    "$QUILLET_WINE" reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1
  else
    "$QUILLET_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  fi
}

# Starts Xvfb with a screen of WxHxD on a free display and exports DISPLAY;
# QUILLET_XVFB_PID is the server's process, for the caller to end. Wine
# manages its windows itself there.
quillet_xvfb() {
  local file
  file="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp 3>"$file" 2>/dev/null &
  QUILLET_XVFB_PID=$!
  for _ in $(seq 100); do [ -s "$file" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -1 "$file")"
  rm -f "$file"
  quillet_window_manager no
}

# So that a plain "wine" typed after sourcing this file uses the same loader.
wine() { "$QUILLET_WINE" "$@"; }

# Fonts the program's dialogs name, mapped to the IPA fonts Debian ships.
quillet_font_replacements() {
  local key='HKCU\Software\Wine\Fonts\Replacements'
  local pair
  for pair in 'ＭＳ 明朝=IPAMincho' 'ＭＳ Ｐ明朝=IPAPMincho' \
              'ＭＳ ゴシック=IPAGothic' 'ＭＳ Ｐゴシック=IPAPGothic' \
              'MS Mincho=IPAMincho' 'MS Gothic=IPAGothic' \
              'MS PGothic=IPAPGothic' 'MS UI Gothic=IPAPGothic'; do
    "$QUILLET_WINE" reg add "$key" /v "${pair%%=*}" /d "${pair#*=}" /f >/dev/null 2>&1 || true
  done
}

# Wine draws the caption buttons and the menus' marks with its Marlett font,
# which it finds only in the prefix; without it they show as "0 1 r".
quillet_marlett() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  [ -f "$fonts/marlett.ttf" ] || { mkdir -p "$fonts" && cp /usr/share/wine/fonts/marlett.ttf "$fonts/"; }
}

quillet_make_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    # wineboot must not open windows on a display it may not have yet.
    env -u DISPLAY "$QUILLET_WINE" wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    quillet_font_replacements
    wineserver -w
  fi
  [ -f "$WINEPREFIX/system.reg" ] && quillet_marlett
}

if ! quillet_make_prefix; then
  echo "wine-env: could not make the Wine prefix $WINEPREFIX" >&2
fi
