// Renaming a device file without a rename call: the names the dialog takes,
// the questions, and the failures the fault sweep does not reach (a full
// flash in swap mode, a write stored short), with the LRU list after each.
#include <gtest/gtest.h>

#include "app/settings_store.h"
#include "filelist/item_text.h"
#include "filelist/rename.h"
#include "tests/support/fakes.h"

namespace {

// The name typed (host text) against the old one as shown; old is device
// text. A name a device program made keeps its form when OK is pressed on it.
TEST(RenameTest, NamesTheDialogTakes) {
  FakePlatform platform;
  const std::string n27(27, 'n');
  const struct { std::string typed, old; NewName result; const char* name; } rows[] = {
      {"Game2.PEX", "game.pex", NewName::kGood, "game2.pex"},
      {u8"\u30b2\u30fc\u30e0.PEX", "ゲーム.pex", NewName::kUnchanged, ""},   // a trail byte 51 ("Q") is no capital
      {"SaveData.DAT", "SaveData.DAT", NewName::kUnchanged, ""},
      {u8"\u2252.pex", "\x87\x90.pex", NewName::kUnchanged, ""},   // shown as 81 E0's "≒", which is not its code
      {"nul.sav", "nul.sav", NewName::kUnchanged, ""},
      {n27 + ".pex", "game.pex", NewName::kGood, "nnnnnnnnnnnnnnnnnnnnnnnnnnn.pex"},
      {n27 + "n.pex", "game.pex", NewName::kRefused, ""},
      {u8"caf\u00e9.pex", "game.pex", NewName::kRefused, ""},
      {"a.pex", "A.PEX", NewName::kGood, "a.pex"},
      {u8"\u30bd.pex", "game.pex", NewName::kGood, "ソ.pex"},   // ソ is 83 5C
  };
  for (const auto& r : rows) {
    std::string name, shown;
    ASSERT_TRUE(platform.HostText(r.old, &shown));
    EXPECT_EQ(r.result, CheckNewName(r.typed, r.old == "\x87\x90.pex" ? u8"\u2252.pex" : shown, r.old, &name)) << r.typed;
    EXPECT_EQ(r.name, name) << r.typed;
  }
  for (const char* typed : {"", "a b.pex", "a\tb.pex", "nul.sav", "Com1.txt", "a?b.pex", "a<b", "a.", "a ", "sub\\x.pex", "sub/x.pex"}) {
    std::string name;
    EXPECT_EQ(NewName::kRefused, CheckNewName(typed, "game.pex", "game.pex", &name)) << typed;
  }
}

class RenameSteps : public SimTest {};

// Each failure and question, then the exact calls of a good rename (one
// connection, then the list's read) and the new name selected.
TEST_F(RenameSteps, EachFailureKeepsTheFile) {
  TempDir temp;
  const struct {
    const char* what;
    Strings files;   // on the device; none: old.pex and other.pex
    const char *from, *to;
    const char* fault;   // "function nth status"
    std::deque<int> answers;
    Strings boxes, left, lru;
  } rows[] = {
      {"good", {}, "old.pex", "new.pex", "", {}, {}, {"other.pex", "new.pex"}, {"a", "new.pex", "other.pex"}},
      {"flash full, no swap-out", {}, "old.pex", "new.pex", "ismPFFSWrite 1 1005", {IDABORT}, {"空き容量が足りません。"}, {"old.pex", "other.pex"},
       {"a", "old.pex", "other.pex"}},
      {"size differs", {}, "old.pex", "new.pex", "shortwrites", {}, {"名前の変更を確認できませんでした。元のファイルはそのまま残しました。"},
       {"old.pex", "other.pex", "new.pex"}, {"a", "old.pex", "other.pex"}},
      {"delete fails, Abort", {}, "old.pex", "new.pex", "ismPFFSDelete 1 9", {IDABORT}, {text::kDeleteFailed}, {"old.pex", "other.pex", "new.pex"},
       {"a", "old.pex", "other.pex"}},
      {"over another, No", {}, "old.pex", "other.pex", "", {IDNO}, {"other.pexは既に存在します。上書きしてもよろしいですか？"}, {"old.pex", "other.pex"},
       {"a", "old.pex", "other.pex"}},
      {"over another, Yes", {}, "old.pex", "other.pex", "", {IDYES}, {"other.pexは既に存在します。上書きしてもよろしいですか？"}, {"other.pex"}, {"a", "other.pex"}},
      {"to startup.pex, No", {}, "old.pex", "startup.pex", "", {IDNO}, {text::kStartupWrite}, {"old.pex", "other.pex"},
       {"a", "old.pex", "other.pex"}},
      {"from startup.pex, No", {"startup.pex=s", "other.pex=other"}, "startup.pex", "new.pex", "", {IDNO},
       {"startup.pexを削除してもよろしいですか？"}, {"startup.pex", "other.pex"}, {"a", "old.pex", "other.pex"}},
      {"beside OLD.PEX and OTHER.PEX", {"OLD.PEX=x", "old.pex=old bytes", "OTHER.PEX=other"}, "old.pex", "other.pex", "", {},
       {}, {"OLD.PEX", "OTHER.PEX", "other.pex"}, {"a", "other.pex"}},
  };
  for (const auto& r : rows) {
    Reset(r.files.empty() ? Strings{"old.pex=old bytes", "other.pex=other"} : r.files);
    platform.tempFolder = temp.path() + "/";
    AppSettings.mode = true;   // a full flash would swap files out in a write, never in a rename
    LruList = {"a", "old.pex", "other.pex"};
    char function[32];
    int nth, status;
    if (sscanf(r.fault, "%31s %d %d", function, &nth, &status) == 3) piecesim::InjectFault(function, nth, status);
    if (std::string(r.fault) == "shortwrites") piecesim::SetState(0, "shortwrites", "1");
    MemoryList list;
    ASSERT_TRUE(RefreshFileList(list));
    piecesim::ClearCallLog();
    platform.answers = r.answers;
    RenameFile(list, r.from, r.to);
    EXPECT_EQ(r.boxes, platform.Texts()) << r.what;
    EXPECT_EQ(r.left, piecesim::ListFiles(0)) << r.what;
    EXPECT_EQ(r.lru, LruList) << r.what;
    EXPECT_EQ(Strings{}, temp.Entries()) << r.what << ": the private copy stays";
    std::string renamed;
    if (piecesim::GetFile(0, r.to, &renamed) && r.boxes.empty()) EXPECT_EQ("old bytes", renamed) << r.what;
    if (&r != rows) continue;
    std::string calls;
    for (const std::string& line : Calls()) calls += line.substr(0, line.find_first_of(",)")) + " ";
    EXPECT_EQ("ismExit( ismInitEx(0 ismPFFSRead(old.pex ismPFFSWrite(new.pex ismPFFSDir(8192 ismPFFSDelete(old.pex ismExit( "
              "ismExit( ismInitEx(0 ismPFFSDir(8192 ismExit( ", calls);
    EXPECT_EQ((Strings{"*     9 new.pex", "     5 other.pex"}), list.Texts());
  }
}

}  // namespace
