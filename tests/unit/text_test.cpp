// The parsers and the path and name rules, each a table of inputs and whole
// expected results. Code page 932 rows carry double-byte characters whose
// second byte is '\\' (ソ, 表) or a letter (ア).
#include <gtest/gtest.h>
#include <limits.h>

#include "app/path_list.h"
#include "app/path_util.h"
#include "app/progress.h"
#include "device/directory.h"
#include "settings/file_types.h"
#include "settings/settings_text.h"
#include "tests/support/fakes.h"
#include "transfer/transfer_list.h"

namespace {

// Entries as "size name|size name", then "=" and the status; "invalid" when
// the parse fails.
std::string Parsed(const std::string& text, size_t length) {
  DirListing listing;
  listing.entries.push_back({1, "stale"});
  if (!listing.Parse(text.data(), length))
    return listing.entries.empty() && listing.statusText.empty() ? "invalid" : "dirty";
  std::string out;
  for (const DirEntry& e : listing.entries) out += (out.empty() ? "" : "|") + std::to_string(e.size) + " " + e.name;
  return out + "=" + listing.statusText;
}

TEST(Parse, DirectoryText) {
  const std::string n31(31, 'n');
  const struct { std::string text, want; } rows[] = {
      {"+1:10 a.pex\n+2:1234 startup.pex\nfree\n", "10 a.pex|1234 startup.pex=free"},
      {"+0:5 x\r\n+1:6 y\r\n  12 KB free \r\n", "5 x|6 y=12 KB free"},
      {"+0:5 x\r\n\r\nfree\r\n", "5 x="},                  // an empty CR LF line is the summary
      {"\n\n+0:5 x\n\n\nfree", "5 x=free"},                 // runs of line feeds are one
      {"nothing here", "=nothing here"},
      {"+ 7:\t-3  x\nfree", "-3 x=free"},
      {"+-1:+9 x\nfree", "9 x=free"},
      {"+0:1 a b c\nfree\n+bad\n+1:2 b\n", "1 a=free"},     // nothing after the name or the summary
      {" +0:1 a\n", "=+0:1 a"},                             // a blank before the plus: summary
      {"+0:1 " + n31 + "\nfree", "1 " + n31 + "=free"},
      {std::string("+0:1 a\nfree\0+1:2 b\n", 19), "1 a=free"},
  };
  for (const auto& r : rows) EXPECT_EQ(r.want, Parsed(r.text, r.text.size())) << r.text;
  // A cut name would name another file; no summary; no number; no name.
  for (const std::string& text : {"+0:1 " + n31 + "n\nfree", std::string("+0:5 x\n+1:6 y\n"), std::string(),
                                  std::string("+0:big x\nfree"), std::string("+0:5\nfree"), std::string("+0:5 \r\nfree"),
                                  std::string("+0 :5 x\nfree")})
    EXPECT_EQ("invalid", Parsed(text, text.size())) << text;
  // Only "+0:1 a\n" lies inside a buffer of 7 bytes: no summary there.
  EXPECT_EQ("invalid", Parsed("+0:1 a\nfree", 7));
}

TEST(Parse, PathParts) {
  // Device names step over double-byte characters; host paths, UTF-8, are
  // split byte by byte.
  const struct { bool device; std::string path, parts; } rows[] = {
      {false, "C:\\games\\GAME.PEX", "C:|\\games\\|GAME|.PEX"}, {false, "C:/games/a.b.pex", "C:|/games/|a.b|.pex"},
      {false, "game.pex", "||game|.pex"}, {false, "C:\\dir.x\\noext", "C:|\\dir.x\\|noext|"},
      {false, "\\\\server\\share\\f.pfs", "|\\\\server\\share\\|f|.pfs"},
      {false, u8"C:\\\u3041\\\u30bd.pex", u8"C:|\\\u3041\\|\u30bd|.pex"},   // ぁ is E3 81 81 in UTF-8
      {true, "C:\\games\\ソフト.pex", "C:|\\games\\|ソフト|.pex"}, {true, "C:\\表示\\ソ", "C:|\\表示\\|ソ|"},
      {true, "C:\\d\\\xF0\x5C.pex", "C:|\\d\\|\xF0\x5C|.pex"},   // lead bytes run up to 0xFC
  };
  for (const auto& r : rows) {
    PathParts p = r.device ? SplitDeviceName(r.path) : SplitHostPath(r.path);
    EXPECT_EQ(r.parts, p.drive + "|" + p.folder + "|" + p.name + "|" + p.extension);
  }
}

// Device names (as host text) as files below a folder: the key they are
// compared by, or "-" where one cannot be a file there.
TEST(Parse, HostNames) {
  const struct { const char* name; bool flat; const char* key; } rows[] = {
      {"game.pex", false, "game.pex"}, {"sub/x.pex", false, "sub\\x.pex"}, {"sub\\x.pex", true, "x.pex"},
      {"./x.pex", false, "x.pex"}, {"a\\.\\b", false, "a\\b"}, {"com0.txt", false, "com0.txt"}, {"com10", false, "com10"},
      {"console.txt", false, "console.txt"}, {"nul_x", false, "nul_x"}, {"lpt", false, "lpt"},
      // Names Windows keeps for devices, with any extension, in any case.
      {"nul.sav", false, "-"}, {"NUL", false, "-"}, {"con.txt", false, "-"}, {"Aux", false, "-"}, {"prn.x.y", false, "-"},
      {"com1", false, "-"}, {"COM9.dat", false, "-"}, {"lpt5.txt", false, "-"}, {"nul .txt", false, "-"},
      {"sub\\aux.pex", true, "-"},
      // Characters no file name holds; a dot or blank at the end.
      {"q?x.dat", false, "-"}, {"a*b", false, "-"}, {"a\"b", false, "-"}, {"a<b", false, "-"}, {"a>b", false, "-"},
      {"a|b", false, "-"}, {"a:b", false, "-"}, {"a\x01" "b", false, "-"}, {"a\x1f", false, "-"}, {"a.", false, "-"},
      {"a ", false, "-"},
      // Leading out of the folder, also when only the file name is used.
      {".", false, "-"}, {"..", false, "-"}, {"..\\d", true, "-"}, {"\\d", false, "-"}, {"/d", false, "-"}, {"c:d", true, "-"},
      {"sub\\", false, "-"}, {"a\\\\b", false, "-"}, {"sub\\..\\d", false, "-"},
  };
  for (const auto& r : rows) {
    std::string key;
    EXPECT_EQ(r.key, HostPathBelow(r.name, r.flat, &key) ? key : "-") << r.name << (r.flat ? " flat" : "");
  }
}

TEST(Parse, Lowering) {
  const struct { const char* in; const char* ascii; const char* multibyte; } rows[] = {
      {"ZIP.PEX", "zip.pex", "zip.pex"},
      {"ア.PEX", "ア.pex", "ア.pex"},   // ア is 0x83 0x41
      {"ＧＡＭＥＺ", "ＧＡＭＥＺ", "ｇａｍｅｚ"},
      {"ΑΩАОПЯ", "ΑΩАОПЯ", "αωаопя"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(r.ascii, LowerAscii(r.in));
    EXPECT_EQ(r.multibyte, LowerMultibyte(r.in));
  }
  for (auto [a, b, equal] : {std::tuple<const char*, const char*, bool>{"Startup.PEX", "startup.pex", true}, {"Ａ", "ａ", false},
                             {"startup.pex", "startup.pe", false}})
    EXPECT_EQ(equal, EqualsIgnoreAsciiCase(a, b)) << a;
}

TEST(Parse, CommandLines) {
  const struct { const char* text; Strings paths; } rows[] = {
      {"\"C:\\My Files\\a.pex\" b.pex", {"C:\\My Files\\a.pex", "b.pex"}}, {"\"\"", {}}, {"\"a b\"c", {"a b", "c"}},
      {"a\"b c\"", {"a\"b", "c\""}}, {"\"abc", {"abc"}}, {" \t\r\n\v\f ", {}}, {"\"\"\"x\"", {"x"}},
      {"  one\ttwo\rthree  ", {"one", "two", "three"}}, {"ソフト.pex \"表 示.pfs\"", {"ソフト.pex", "表 示.pfs"}}};
  for (const auto& r : rows) {
    PathList list{"kept"}, want = list;
    SplitPathList(r.text, list);
    want.insert(want.end(), r.paths.begin(), r.paths.end());
    EXPECT_EQ(want, list) << r.text;
  }
  // A command line less the program's name and the blanks after it.
  for (auto [line, rest] : {std::pair<const char*, const char*>{"\"C:\\Program Files\\Quillet.exe\"  a.pex b", "a.pex b"},
                            {"Quillet.exe a.pex", "a.pex"}, {"\"Q uillet\"\tx", "x"}, {"\"unterminated", ""}})
    EXPECT_STREQ(rest, ArgumentText(line));
}

TEST(Parse, TransferListLines) {
  const std::string x255(255, 'x'), w254(254, 'w');
  const struct { std::string content; Strings lines; } rows[] = {
      {"a.pex\n\n\t \r\nb.pex  \r\n", {"a.pex", "b.pex"}},   // lines of blanks are none
      {" lead.pex\n", {" lead.pex"}},                          // leading blanks stay
      {"x\ry.pex\na.pex\r", {"x\ry.pex", "a.pex"}},            // a lone CR is text, a last one a blank
      {"a.pex\n\x1a" "b.pex\n", {"a.pex"}},                    // Ctrl-Z ends the file
      {std::string("ab\0cd\nef\n", 9), {"ab", "ef"}},          // a zero byte ends the line's text
      {x255 + "yy\n", {x255, "yy"}},                           // 255-byte pieces
      {x255 + "\nz\n", {x255, "z"}},
      {w254 + "\r\nz\n", {w254, "z"}},                         // CR LF counts as one byte
      {"\n\n\r\n", {}},
  };
  TempDir dir;
  FakePlatform platform;
  for (const auto& r : rows) {
    TransferListReader reader;
    ASSERT_TRUE(reader.Open(dir.Write("list.pfs", r.content)));
    Strings lines;
    for (std::string line; reader.NextLine(&line);) lines.push_back(line);
    EXPECT_EQ(r.lines, lines) << r.content;
  }
}

TEST(Parse, ProgressTexts) {
  ProgressStep step;
  step.verb = "書き込み中", step.index = 2, step.count = 12, step.name = "ゲーム.pex";
  EXPECT_EQ("書き込み中 2/12: ゲーム.pex|書き込み中 2/12 ゲーム.pex", StepLine(step) + "|" + StepTitle(step));
  step.verb = "退避中", step.count = 0;
  EXPECT_EQ("退避中: ゲーム.pex", StepLine(step));
  // Bytes done, in all, the time since the first call: what the window says.
  const struct { uint64_t done, total; uint32_t ms; const char *bytes, *left; } rows[] = {
      {0, 0, 5000, "0 KB / 0 KB", ""}, {12 * 1024, 48 * 1024, 1999, "12 KB / 48 KB", ""},
      {1, 1025, 2000, "1 KB / 2 KB", "残り約 34:08"}, {10, 20, 2000, "1 KB / 1 KB", "残り約 0:02"},
      {30, 100, 9000, "1 KB / 1 KB", "残り約 0:21"}, {20, 20, 3000, "1 KB / 1 KB", "残り約 0:00"},
  };
  for (const auto& r : rows)
    EXPECT_EQ(std::string(r.bytes) + "|" + r.left, BytesLine(r.done, r.total) + "|" + TimeLeftLine(r.done, r.total, r.ms)) << r.done;
  EXPECT_EQ("|待機中: 3件", WaitingLine(0) + "|" + WaitingLine(3));
}

TEST(Parse, IconSizeAndTexts) {
  const struct { const char* text; int size; } rows[] = {
      {"32", 32}, {"  -7x", -7}, {"+5", 5}, {"abc", 0}, {"99999999999", INT_MAX}, {"-99999999999", INT_MIN},
      {"99999999999999999999999", INT_MAX}, {"-99999999999999999999999", INT_MIN}};   // past 64 bits too
  for (const auto& r : rows) EXPECT_EQ(r.size, ParseIconSize(r.text)) << r.text;
  EXPECT_EQ("31", SmallerIconSizeText("32"));
  EXPECT_EQ("-2147483649", SmallerIconSizeText("-2147483648"));
  EXPECT_EQ("256 文字以内で入力してください。", TextLimitMessage(256));
}

}  // namespace
