#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test Quillet.
# Idempotent: a second run installs nothing and takes a second or two.
set -euo pipefail

packages=(
  cmake make g++ python3 googletest
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 xvfb xdotool x11-utils imagemagick
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-wine locales
  clang libclang-rt-14-dev
  python3-gi gir1.2-gtk-3.0
)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
  fi
  as_root apt-get update -q
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
fi

# The Japanese locale makes Wine's ANSI code page 932; the English one, 1252,
# on which the tests check that the program behaves the same. Wine names the
# host's files in the locale's character set, so both must exist.
missing_locales=no
for l in ja_JP en_US; do
  locale -a 2>/dev/null | grep -qi "^$l\.utf-\?8$" && continue
  grep -q "^$l.UTF-8 UTF-8" /etc/locale.gen 2>/dev/null || echo "$l.UTF-8 UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
  missing_locales=yes
done
[ "$missing_locales" = no ] || as_root locale-gen >/dev/null
