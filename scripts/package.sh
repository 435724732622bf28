#!/usr/bin/env bash
# Makes the release package dist/: the stripped 32-bit Quillet.exe and a
# short Windows README (UTF-8 with a byte-order mark, CRLF). Nothing of the
# stand-ins goes in: the vendor's pieceif.dll and korvase.dll come from
# elsewhere.
#   scripts/package.sh [--build-dir DIR] [--no-build] [--out DIR]
# DIR defaults to build/package (an i686 Release build of its own); --no-build
# packages what is already built in DIR.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/package"
out="$root/dist"
do_build=yes
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) build="$2"; shift 2 ;;
    --no-build) do_build=no; shift ;;
    --out) out="$2"; shift 2 ;;
    *) echo "usage: $0 [--build-dir DIR] [--no-build] [--out DIR]" >&2; exit 2 ;;
  esac
done

if [ "$do_build" = yes ]; then
  mkdir -p "$(dirname "$build")"
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release >"$build.configure.log" 2>&1 ||
    { cat "$build.configure.log" >&2; exit 1; }
  cmake --build "$build" -j2 --target Quillet
fi
exe="$build/bin/Quillet.exe"
[ -f "$exe" ] || { echo "package: $exe is not built" >&2; exit 1; }
case "$(i686-w64-mingw32-objdump -f "$exe")" in
  *pei-i386*) ;;
  *) echo "package: $exe is not a 32-bit Windows program" >&2; exit 1 ;;
esac

version=$(sed -n 's/^#define QUILLET_VERSION_\(MAJOR\|MINOR\|PATCH\) \([0-9]*\)$/\2/p' \
  "$root/app/version.h" | paste -sd.)

rm -rf "$out"
mkdir -p "$out"
i686-w64-mingw32-strip -o "$out/Quillet.exe" "$exe"

# UTF-8 with a byte-order mark, which Notepad reads on every system language.
{ printf '\357\273\277'; sed 's/$/\r/' <<EOF; } >"$out/README.txt"
Quillet $version
P/ECE のフラッシュメモリのファイルを管理するプログラムです。

■ 日本語

インストール
  1. Quillet.exe を好きなフォルダに置きます。
  2. P/ECE のメーカーが提供する pieceif.dll を Quillet.exe と同じフォルダに
     置きます。pieceif.dll はこのパッケージには含まれていません。P/ECE の
     USB ドライバも必要です。

使い方
  書き込み   エクスプローラからファイルをリストにドロップ
  読み出し   Ctrl を押しながら項目をエクスプローラへドラッグ
  削除       DEL
  実行       .pex をダブルクリック
  F5 で再読み込み、F6 で次の P/ECE に切り替え、Pause で一時停止。
  書き込み中に Esc を押すと、書き込み中のファイルの後で止まります。
  リストを右クリック(またはアプリケーションキー、Shift+F10)すると、
  すべてのコマンドのメニューが開きます: フォルダへ保存、コピー(Ctrl+C)、
  貼り付け(Ctrl+V)、名前の変更(F2)、すべて選択(Ctrl+A)、バックアップなど。
  バックアップは P/ECE の全ファイルと、それを書き戻す backup.pfs を
  フォルダに保存します。

プログラムの実行
  実機で .pex を実行するには、P/ECE の開発環境で作ったランチャーを
  Quillet.srf という名前で Quillet.exe と同じフォルダに置きます。ランチャー
  はこのパッケージには含まれていません。ないときは、実行の代わりに
  「このP/ECEではプログラムを実行できません。」と表示されます。

設定ファイル
  設定は Windows フォルダ(通常 C:\\Windows)の Quillet.INI に、プログラム
  の終了時と Windows の終了時に保存されます(名前はプログラムのファイル名に合わせて変わりま
  す)。管理者権限なしで動かしたときは、Windows がこのファイルを
  %LOCALAPPDATA%\\VirtualStore\\Windows\\Quillet.INI へ振り替えます。

.pex / .pfs の関連付け
  1. korvase.dll を Quillet.exe と同じフォルダか、Windows のシステム
     フォルダに置きます。
  2. ウィンドウのシステムメニュー(タイトルバー左端のアイコン)から
     「設定」を開き、「拡張子関連付」を押します。
  3. エクスプローラで .pex や .pfs を開くと P/ECE に書き込まれます。
     解除は同じ画面の「関連付け解除」、アイコンが古いままのときは
     「アイコン更新」を押します。

■ English

Installing
  1. Put Quillet.exe in a folder of your choice.
  2. Put pieceif.dll, the P/ECE maker's interface library, in the same
     folder as Quillet.exe. This package does not contain pieceif.dll; the
     P/ECE USB driver must be installed as well.

Use
  Write: drop files from Explorer on the list.  Read: hold Ctrl and drag
  items to Explorer.  DEL deletes, double-click on a .pex runs it, F5
  re-reads the list, F6 moves to the next P/ECE, Pause pauses the device.
  Escape during a write stops it after the file in flight.
  Right-click the list (or press the menu key or Shift+F10) for a menu of
  every command: save to a folder, copy (Ctrl+C), paste (Ctrl+V), rename
  (F2), select all (Ctrl+A), backup and the rest. A backup saves every file of the P/ECE
  in a folder, with backup.pfs, which writes them back.

Running programs
  To run a .pex on a real P/ECE, put a launcher built with the P/ECE's own
  development tools next to Quillet.exe, named Quillet.srf; this package
  does not contain one. Without it, Quillet says that it cannot run
  programs on this P/ECE instead.

Settings
  Settings are kept in Quillet.INI in the Windows folder (usually
  C:\\Windows) and written when the program or Windows ends; the file is
  named after the program file. Run without administrator rights, Windows
  redirects it to %LOCALAPPDATA%\\VirtualStore\\Windows\\Quillet.INI.

Associating .pex and .pfs
  1. Put korvase.dll beside Quillet.exe or in the Windows system folder.
  2. Open the window's system menu (the icon at the left of the title bar),
     choose 設定 (Settings) and press 拡張子関連付 (associate extensions).
  3. Opening a .pex or .pfs file in Explorer then writes it to the P/ECE.
     関連付け解除 removes the association; アイコン更新 redraws stale icons.
EOF

# The package holds exactly these two files, and the program carries its
# manifest (without an execution level) and a version matching the text.
python3 - "$out" "$version" "$root" <<'PY'
import os, struct, sys
out, version, root = sys.argv[1], sys.argv[2], sys.argv[3]
names = sorted(os.listdir(out))
if names != ["Quillet.exe", "README.txt"]:
    sys.exit("package: unexpected files in dist: %s" % names)
readme = open(os.path.join(out, "README.txt"), "rb").read()
try:
    readme.decode("utf-8")
except UnicodeDecodeError:
    sys.exit("package: README.txt is not UTF-8")
if not readme.startswith(b"\xef\xbb\xbf") or b"\n" in readme.replace(b"\r\n", b""):
    sys.exit("package: README.txt lacks its byte-order mark or CRLF line ends")
sys.path.insert(0, root + "/scripts")
from pe_resource import resource
first_leaf = lambda type_id, name_id: resource(os.path.join(out, "Quillet.exe"), type_id, name_id)
manifest = first_leaf(24, 1)
if manifest is None:
    sys.exit("package: Quillet.exe has no application manifest")
import xml.etree.ElementTree as ET
try:
    elements = list(ET.fromstring(manifest).iter())
except ET.ParseError as e:
    sys.exit("package: the manifest is not well-formed XML: %s" % e)
local = lambda e: e.tag.rsplit("}", 1)[-1]
if any(local(e) in ("trustInfo", "requestedExecutionLevel") for e in elements):
    sys.exit("package: the manifest declares an execution level")
if not any(local(e) == "assemblyIdentity" and
           e.get("name") == "Microsoft.Windows.Common-Controls" and
           e.get("version", "").startswith("6.") for e in elements):
    sys.exit("package: the manifest lacks the common controls 6 dependency")
if sum(local(e) == "supportedOS" for e in elements) < 5:
    sys.exit("package: the manifest's supported OS list is incomplete")
info = first_leaf(16, 1)
if info is None:
    sys.exit("package: Quillet.exe has no version resource")
words = info.decode("utf-16-le", "replace").split("\0")
found = [words[i + 1:i + 3] for i, w in enumerate(words) if w.endswith("FileVersion")]
if not any(version in f for f in found):
    sys.exit("package: FileVersion is not %s" % version)
ms, ls = struct.unpack_from("<II", info, info.find(struct.pack("<I", 0xFEEF04BD)) + 8)
numbers = "%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16)
if numbers != version:
    sys.exit("package: the numeric file version %s is not %s" % (numbers, version))
PY

for f in "$out"/*; do
  printf '%-12s %8d bytes\n' "$(basename "$f")" "$(stat -c %s "$f")"
done
echo "package: $out holds Quillet $version"
