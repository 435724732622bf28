#!/usr/bin/env bash
# Checks the shape of the shipped program file:
#   a 32-bit GUI program that loads nothing but Windows' own DLLs and the
#   device vendor's pieceif.dll (the C++ runtime is linked in), and that
#   imports the vendor's 13 functions under their plain names.
#   tests/e2e/check_imports.sh build/cross/bin/Quillet.exe
set -uo pipefail
exe="${1:?usage: check_imports.sh Quillet.exe}"
dump="$(i686-w64-mingw32-objdump -p "$exe" 2>&1)" || { echo "FAIL: cannot read $exe"; exit 1; }

fail=0
check() { if eval "$2"; then echo "ok:   $1"; else echo "FAIL: $1"; fail=1; fi; }

system_dlls=' advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll shell32.dll user32.dll '
dlls="$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')"
foreign=""
for d in $dlls; do
  [ "$d" = pieceif.dll ] && continue
  case "$system_dlls" in *" $d "*) ;; *) foreign="$foreign $d" ;; esac
done

# Here-strings, not pipes: grep -q ending early must not fail the pipe.
check "32-bit PE file" 'grep -q "file format pei-i386" <<<"$dump"'
check "GUI subsystem" 'grep -q "(Windows GUI)" <<<"$dump"'
check "imports pieceif.dll" 'grep -qx pieceif.dll <<<"$dlls"'
check "no DLLs but system ones and pieceif.dll (found:${foreign:- none})" '[ -z "$foreign" ]'

# The import names listed under pieceif.dll, up to the next DLL.
names="$(printf '%s\n' "$dump" | awk '
  /DLL Name:/ { inside = (tolower($3) == "pieceif.dll"); next }
  inside && NF >= 3 && $3 ~ /^ism/ { print $3 }')"
for f in ismAppStart ismAppStop ismCmdR ismCmdW ismExit ismGetVersion ismInitEx \
         ismPFFSDelete ismPFFSDir ismPFFSRead ismPFFSWrite ismReadMem ismWriteMem; do
  check "imports $f by its plain name" 'grep -qx "$f" <<<"$names"'
done
check "no decorated pieceif names" '! grep -q "@" <<<"$names"'

exit $fail
