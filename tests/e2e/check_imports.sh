#!/usr/bin/env bash
# The shipped program file: a 32-bit GUI program that loads only Windows' own
# DLLs and the vendor's pieceif.dll (the C++ runtime is linked in), imports
# the vendor's 13 functions under their plain names, and whose manifest asks
# for common controls 6 and no execution level, which would switch off the
# file virtualisation that keeps Quillet.INI writable without administrator
# rights.   tests/e2e/check_imports.sh build/cross/bin/Quillet.exe
exe="${1:?usage: check_imports.sh Quillet.exe}"
dump="$(i686-w64-mingw32-objdump -p "$exe" 2>&1)"
fail=0
check() { if eval "$2"; then echo "ok:   $1"; else echo "FAIL: $1"; fail=1; fi; }
dlls="$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump" | tr A-Z a-z | sort | tr '\n' ' ')"
ism="$(awk '/DLL Name:/ { inside = tolower($3) == "pieceif.dll"; next } inside && $3 ~ /^ism/ { print $3 }' <<<"$dump" | sort | tr '\n' ' ')"
# Matched in the shell, with no child process or temporary file to fail.
check "32-bit GUI program" '[[ $dump == *"file format pei-i386"* && $dump == *"(Windows GUI)"* ]]'
check "imports ($dlls)" '[ "$dlls" = "advapi32.dll kernel32.dll msvcrt.dll ole32.dll pieceif.dll shell32.dll user32.dll " ]'
check "the 13 vendor functions by their plain names" '[ "$ism" = "ismAppStart ismAppStop ismCmdR ismCmdW ismExit ismGetVersion ismInitEx ismPFFSDelete ismPFFSDir ismPFFSRead ismPFFSWrite ismReadMem ismWriteMem " ]'
check "manifest: common controls 6, no execution level" 'grep -aq "Microsoft.Windows.Common-Controls" "$exe" && ! grep -aqE "<trustInfo|requestedExecutionLevel" "$exe"'
exit $fail
