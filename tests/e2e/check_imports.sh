#!/usr/bin/env bash
# The shipped program file: a 32-bit GUI program that imports only Windows'
# own DLLs (the C++ runtime is linked in) and loads the vendor's pieceif.dll
# at run time, naming it and its 13 functions as strings; its manifest asks
# for common controls 6 and no execution level, which would switch off the
# file virtualisation that keeps Quillet.INI writable without administrator
# rights.   tests/e2e/check_imports.sh build/cross/bin/Quillet.exe
exe="${1:?usage: check_imports.sh Quillet.exe}"
dump="$(i686-w64-mingw32-objdump -p "$exe" 2>&1)"
wide="$(LC_ALL=C tr -d '\0' <"$exe" | LC_ALL=C tr -c '[:print:]' '\n')"
fail=0
check() { if eval "$2"; then echo "ok:   $1"; else echo "FAIL: $1"; fail=1; fi; }
dlls="$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump" | tr A-Z a-z | sort | tr '\n' ' ')"
names=$(LC_ALL=C tr -c '[:print:]' '\n' <"$exe" |
  grep -xE 'ism(InitEx|Exit|CmdW|CmdR|ReadMem|WriteMem|AppStop|AppStart|GetVersion|PFFSDir|PFFSRead|PFFSWrite|PFFSDelete)' | sort -u | wc -l)
# Matched in the shell, with no child process or temporary file to fail.
check "32-bit GUI program" '[[ $dump == *"file format pei-i386"* && $dump == *"(Windows GUI)"* ]]'
check "imports ($dlls)" '[ "$dlls" = "advapi32.dll kernel32.dll msvcrt.dll ole32.dll shell32.dll user32.dll " ]'
check "pieceif.dll named as a string, its 13 functions by name ($names)" '[[ $wide == *pieceif.dll* ]] && [ "$names" = 13 ]'
check "manifest: common controls 6, no execution level" 'grep -aq "Microsoft.Windows.Common-Controls" "$exe" && ! grep -aqE "<trustInfo|requestedExecutionLevel" "$exe"'
exit $fail
