// Path splitting, lowering and the command-line tokenizer, on ASCII and on
// code page 932 text whose second bytes can be '\\' or letters.
#include <gtest/gtest.h>

#include "app/path_list.h"
#include "app/path_util.h"

namespace {

struct SplitCase {
  const char* path;
  const char* drive;
  const char* folder;
  const char* name;
  const char* extension;
};

TEST(SplitPath, PartsOfAsciiAndDoubleBytePaths) {
  const SplitCase cases[] = {
      {"C:\\games\\GAME.PEX", "C:", "\\games\\", "GAME", ".PEX"},
      {"C:/games/a.b.pex", "C:", "/games/", "a.b", ".pex"},
      {"game.pex", "", "", "game", ".pex"},
      {"C:\\dir.x\\noext", "C:", "\\dir.x\\", "noext", ""},
      {"\\\\server\\share\\f.pfs", "", "\\\\server\\share\\", "f", ".pfs"},
      {"C:\\folder\\", "C:", "\\folder\\", "", ""},
      // ソ is 0x83 0x5C: its second byte is not a separator.
      {"C:\\games\\ソフト.pex", "C:", "\\games\\", "ソフト", ".pex"},
      {"C:\\表示\\ソ", "C:", "\\表示\\", "ソ", ""},
  };
  for (const SplitCase& c : cases) {
    PathParts p = SplitPath(c.path);
    EXPECT_EQ(c.drive, p.drive) << c.path;
    EXPECT_EQ(c.folder, p.folder) << c.path;
    EXPECT_EQ(c.name, p.name) << c.path;
    EXPECT_EQ(c.extension, p.extension) << c.path;
  }
  EXPECT_EQ("ソフト.pex", FileNamePart("C:\\games\\ソフト.pex"));
  EXPECT_EQ("C:\\games\\", FolderPart("C:\\games\\ソフト.pex"));
}

TEST(Lowering, LettersOnlyOutsideDoubleByteCharacters) {
  EXPECT_EQ("game.pex", LowerAscii("GAME.PEX"));
  // ア is 0x83 0x41 ('A' as second byte), Ｐ is 0x82 0x6F.
  EXPECT_EQ("アａｂ", LowerAscii("アａｂ"));
  EXPECT_EQ("ア.pex", LowerAscii("ア.PEX"));
  EXPECT_EQ("Ｐ", LowerAscii("Ｐ"));
  // The locale's case mapping also lowers full-width capitals.
  EXPECT_EQ("ｇａｍｅ.pex", LowerMultibyte("ＧＡＭＥ.PEX"));
  EXPECT_EQ("ア", LowerMultibyte("ア"));
  EXPECT_TRUE(EqualsIgnoreAsciiCase("Startup.PEX", "startup.pex"));
  EXPECT_FALSE(EqualsIgnoreAsciiCase("Ａ", "ａ"));
  EXPECT_FALSE(EqualsIgnoreAsciiCase("startup.pex", "startup.pe"));
}

struct SplitListCase {
  const char* text;
  std::vector<std::string> paths;
};

TEST(SplitPathList, Tokens) {
  const SplitListCase cases[] = {
      {"\"C:\\My Files\\a.pex\" b.pex", {"C:\\My Files\\a.pex", "b.pex"}},
      {"\"\"", {}},
      {"\"a b\"c", {"a b", "c"}},
      {"a\"b c\"", {"a\"b", "c\""}},
      {"\"abc", {"abc"}},
      {" \t\r\n\v\f ", {}},
      {"", {}},
      {"\"\"\"x\"", {"x"}},
      {"a\\\" b", {"a\\\"", "b"}},
      {"  one\ttwo\nthree  ", {"one", "two", "three"}},
      {"ソフト.pex \"表 示.pfs\"", {"ソフト.pex", "表 示.pfs"}},
      {"\x81\x20x", {"\x81", "x"}},   // a lone lead byte before a blank is no blank
  };
  for (const SplitListCase& c : cases) {
    PathList list;
    SplitPathList(c.text, list);
    EXPECT_EQ(c.paths, list) << c.text;
  }
}

TEST(SplitPathList, AppendsToTheGivenList) {
  PathList list{"first"};
  SplitPathList("second", list);
  EXPECT_EQ((PathList{"first", "second"}), list);
}

TEST(ArgumentText, SkipsTheProgramPathAndFollowingBlanks) {
  EXPECT_STREQ("a.pex b", ArgumentText("\"C:\\Program Files\\Quillet.exe\"  a.pex b"));
  EXPECT_STREQ("a.pex", ArgumentText("Quillet.exe\ta.pex"));
  EXPECT_STREQ("", ArgumentText("Quillet.exe"));
  EXPECT_STREQ("x", ArgumentText("\"Q uillet\"x"));
  EXPECT_STREQ("", ArgumentText("\"unterminated"));
}

}  // namespace
