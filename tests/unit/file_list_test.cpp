// The file list's commands on a list in memory: the refresh's order,
// selection and title, delete with its questions and answers, and run.
#include <gtest/gtest.h>

#include "filelist/file_list.h"
#include "tests/support/fakes.h"

namespace {

class FileListTest : public SimTest {
 protected:
  // Items made from the device's files, the first `selected` of them selected.
  void Fill(const Strings& names, size_t selected) {
    list.items.clear();
    for (const std::string& name : names) {
      piecesim::PutFile(0, name, name);
      list.items.push_back({{static_cast<int32_t>(name.size()), name}, list.items.size() < selected});
    }
    piecesim::ClearCallLog();
  }
  MemoryList list;
};

TEST_F(FileListTest, RefreshOrdersSelectsAndTitles) {
  piecesim::SetDirText(0, "+0:1 b.pex\n+1:2 startup.pex\n+2:3 A.pex\n+3:4 a.pex\n+4:5 STARTUP.PEX\n"
                          "+5:6 \x81\x40x\n+6:7 _\n+7:8 a.pex\n+8:9 startup.pex\n+9:1 ゲーム.pex\nfree 10\n");
  // Dropped host paths select by their names as device text.
  const PathList dropped = {"C:\\dl\\B.PEX", "D:/x/_", "a.pex\\", u8"C:\\\u30b2\u30fc\u30e0.PEX"};
  ASSERT_TRUE(RefreshFileList(list, &dropped));
  // startup.pex exactly goes first (the later one on top), the rest by
  // unsigned bytes, equal names in device order.
  EXPECT_EQ((Strings{"     9 startup.pex", "     2 startup.pex", "     3 A.pex", "     5 STARTUP.PEX", "*     7 _",
                     "     4 a.pex", "     8 a.pex", "*     1 b.pex", "     6 \x81\x40x", "*     1 ゲーム.pex"}),
            list.Texts());
  EXPECT_EQ("Quillet - free 10", list.title);

  list.refuseAt = list.insertions + 1;   // b.pex's insertion is refused: it cannot be selected
  piecesim::SetDirText(0, "+0:1 a.pex\n+1:2 b.pex\nfree\n");
  ASSERT_TRUE(RefreshFileList(list, &dropped));
  EXPECT_EQ((Strings{"     1 a.pex"}), list.Texts());
}

TEST_F(FileListTest, Delete) {
  const struct {
    const char* what;
    size_t selected;        // of the items a.pex b.pex c.pex (or Startup.pex first)
    bool startup;
    std::deque<int> answers;
    int failing;            // the nth delete fails once
    Strings boxes, left;    // no device contact and no refresh when nothing is left to ask
    bool refill = false;    // the list is read anew while the question is up
  } rows[] = {
      {"nothing selected", 0, false, {}, 0, {}, {"a.pex", "b.pex", "c.pex"}},
      {"one, answered No", 1, false, {IDNO}, 0, {"ファイルを削除してもよろしいですか？"}, {"a.pex", "b.pex", "c.pex"}},
      {"startup kept", 2, true, {IDYES, IDNO}, 0, {text::kDeleteMany, "startup.pexを削除してもよろしいですか？"}, {"Startup.pex", "c.pex"}},
      {"retry", 3, false, {IDYES, IDRETRY}, 2, {text::kDeleteMany, text::kDeleteFailed}, {}},
      {"abort", 3, false, {IDYES, IDABORT}, 2, {text::kDeleteMany, text::kDeleteFailed}, {"b.pex", "c.pex"}},
      {"the file selected at the key goes", 1, false, {}, 0, {"ファイルを削除してもよろしいですか？"}, {"b.pex", "c.pex"}, true},
  };
  for (const auto& r : rows) {
    Reset();
    Fill({r.startup ? "Startup.pex" : "a.pex", "b.pex", "c.pex"}, r.selected);
    if (r.failing) piecesim::InjectFault("ismPFFSDelete", r.failing, 9);
    platform.answers = r.answers;
    platform.answerer = nullptr;
    if (r.refill) platform.answerer = [&](const Box&) {
      list.items.insert(list.items.begin(), {{1, "0.pex"}, true});
      return IDYES;
    };
    DeleteSelectedFiles(list);
    EXPECT_EQ(r.boxes, platform.Texts()) << r.what;
    EXPECT_EQ(r.left, piecesim::ListFiles(0)) << r.what;
    if (r.left.size() == 3)
      EXPECT_TRUE(Calls().empty()) << r.what;
    else
      EXPECT_EQ(r.left.size(), list.items.size()) << r.what << ": the list shows the device again";
  }
  EXPECT_EQ(kConfirmStyle, platform.shown[0].style);
  EXPECT_EQ(kRetryStyle, platform.shown[1].style);
}

// Files the listing after a write shows short are named, and Yes writes
// them again as an operation of its own, which 中止 stops after its file in
// flight; No leaves them. Another file whose name differs only in case is not
// the file written.
TEST_F(FileListTest, WritesListedShortAreOfferedAgain) {
  const PathList paths = {host.Write("a.pex", "program"), host.Write("b.pex", "bb")};
  const struct { const char* shortwrites; int answer; size_t stopAfter; size_t boxes; const char* left; } rows[] = {
      {"1", IDNO, SIZE_MAX, 1, "progra b"},
      {"1", IDYES, SIZE_MAX, 1, "program bb"},
      {"1", IDYES, 3, 1, "program b"},
      {"0", IDYES, SIZE_MAX, 0, "program bb"},   // beside A.PEX and B.PEX of a byte each
  };
  for (const auto& r : rows) {
    Reset(r.boxes ? Strings{} : Strings{"A.PEX=x", "B.PEX=y"});
    piecesim::SetState(0, "shortwrites", r.shortwrites);
    platform.answers = {r.answer}, platform.progress.clear(), platform.stopAfter = r.stopAfter;
    TheOperations().Start(kinds::kWrite, [&] { ListWritten(list, paths, TransferFiles(paths)); });
    piecesim::SetState(0, "shortwrites", "0");
    TheOperations().RunQueued();
    EXPECT_EQ(r.left, Device("a.pex") + " " + Device("b.pex")) << r.answer << " " << r.stopAfter;
    ASSERT_EQ(r.boxes, platform.shown.size()) << "written whole, nothing more is asked";
    if (!r.boxes) continue;
    EXPECT_EQ(Strings{"書き込んだファイルを確認できませんでした。もう一度書き込みますか？\na.pex\nb.pex"}, platform.Texts());
    EXPECT_EQ(static_cast<unsigned>(MB_YESNO | MB_ICONQUESTION), platform.shown[0].style);
  }
}

Strings runs;
void Ran(const std::string& name) { runs.push_back(name); }

TEST_F(FileListTest, RunTakesTheCaretItemsPex) {
  Fill({"game.pex", "SHOUT.PEX", "notes.txt"}, 0);
  for (int caret : {-1, 0, 1, 2, 3})
    for (bool modifiers : {true, false})   // Shift or Ctrl held: nothing
      list.caret = caret, list.modifiers = modifiers, RunSelectedFile(list, &Ran);
  EXPECT_EQ((Strings{"game.pex", "SHOUT.PEX"}), runs);
  EXPECT_EQ(Strings{}, platform.Texts());
}

}  // namespace
