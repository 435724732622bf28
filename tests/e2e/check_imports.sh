#!/usr/bin/env bash
# The shipped program file: a 32-bit GUI program that imports only Windows'
# own DLLs (the C++ runtime is linked in) and loads the vendor's pieceif.dll
# at run time, naming it and its 13 functions as strings; its manifest asks
# for common controls 6, per-monitor DPI awareness in both forms, and no
# execution level, which would switch off the file virtualisation that keeps
# Quillet.INI writable without administrator rights; its icon holds every
# size.   tests/e2e/check_imports.sh build/cross/bin/Quillet.exe
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
manifest="$(python3 "$(dirname "$0")/../../scripts/pe_resource.py" "$exe" 24 1)"
sizes=$(python3 "$(dirname "$0")/../../scripts/pe_resource.py" "$exe" 14 128 |
  python3 -c 'import struct, sys; d = sys.stdin.buffer.read(); print(*(d[6 + 14 * i] or 256 for i in range(struct.unpack_from("<H", d, 4)[0])))')
check "manifest: common controls 6, no execution level" '[[ $manifest == *Microsoft.Windows.Common-Controls* && $manifest != *"<requestedExecutionLevel"* && $manifest != *"<trustInfo"* ]]'
check "manifest: per-monitor DPI awareness (v2, and true/pm before it)" '[[ $manifest == *">PerMonitorV2</dpiAwareness>"* && $manifest == *">true/pm</dpiAware>"* ]]'
check "icon sizes ($sizes)" '[ "$sizes" = "16 20 24 32 40 48 64 256" ]'
exit $fail
