// The file list's refresh order and selection, and its delete and run
// commands, on a list control held in memory.
#include <gtest/gtest.h>

#include "filelist/file_list.h"
#include "filelist/item_text.h"
#include "tests/support/memory_list.h"
#include "tests/support/sim_fixture.h"

namespace {

class FileListTest : public SimTest {
 protected:
  void Device(const std::string& text) { piecesim::SetDirText(0, text); }
  MemoryList list;
};

TEST(ItemText, FormatAndReadBack) {
  EXPECT_EQ("  1234 startup.pex", FormatItemText({1234, "startup.pex"}));
  EXPECT_EQ("1234567 a", FormatItemText({1234567, "a"}));
  EXPECT_EQ("    -5 a", FormatItemText({-5, "a"}));
  std::string name;
  EXPECT_TRUE(NameFromItemText("  1234 startup.pex", &name));
  EXPECT_EQ("startup.pex", name);
  EXPECT_TRUE(NameFromItemText("-5 ゲーム.pex", &name));
  EXPECT_EQ("ゲーム.pex", name);
  EXPECT_FALSE(NameFromItemText("  1234 ", &name));
  EXPECT_FALSE(NameFromItemText("name only", &name));
}

TEST_F(FileListTest, FixedOrder) {
  Device("+0:1 b.pex\n+1:2 startup.pex\n+2:3 A.pex\n+3:4 a.pex\n+4:5 STARTUP.PEX\n"
         "+5:6 \x81\x40x\n+6:7 _\nfree 10\n");
  ASSERT_TRUE(RefreshFileList(list));
  EXPECT_EQ((std::vector<std::string>{"     2 startup.pex", "     3 A.pex", "     5 STARTUP.PEX",
                                      "     7 _", "     4 a.pex", "     1 b.pex", "     6 \x81\x40x"}),
            list.Texts());
  EXPECT_EQ("Quillet - free 10", list.title);
}

TEST_F(FileListTest, EqualNamesKeepDeviceOrder) {
  Device("+0:1 same\n+1:2 same\n+2:3 startup.pex\n+3:4 startup.pex\n+4:5 a\nfree\n");
  ASSERT_TRUE(RefreshFileList(list));
  // Each startup.pex goes to the top, so the later one stands first.
  EXPECT_EQ((std::vector<std::string>{"     4 startup.pex", "     3 startup.pex", "     5 a",
                                      "     1 same", "     2 same"}),
            list.Texts());
}

TEST_F(FileListTest, FailureEmptiesTheListAndTitle) {
  Device("+0:1 a\nfree\n");
  ASSERT_TRUE(RefreshFileList(list));
  Device("+0:1 a\n");
  EXPECT_FALSE(RefreshFileList(list));
  EXPECT_TRUE(list.items.empty());
  EXPECT_EQ("Quillet", list.title);
}

TEST_F(FileListTest, SelectsTheNamedFilesIgnoringAsciiCase) {
  Device("+0:1 game.pex\n+1:2 other.pex\n+2:3 ア.pex\n+3:4 tool.pfs\nfree\n");
  PathList paths{"C:\\dl\\GAME.PEX", "D:/x/ア.PEX", "tool.pfs\\"};
  ASSERT_TRUE(RefreshFileList(list, &paths));
  EXPECT_EQ((std::vector<std::string>{"game.pex", "ア.pex"}), list.SelectedNames());
  ASSERT_TRUE(RefreshFileList(list));
  EXPECT_TRUE(list.SelectedNames().empty());
}

TEST_F(FileListTest, ARefusedItemIsNotSelected) {
  Device("+0:1 a\n+1:2 b\nfree\n");
  list.refuseAt = 0;
  PathList paths{"a", "b"};
  ASSERT_TRUE(RefreshFileList(list, &paths));
  EXPECT_EQ((std::vector<std::string>{"     2 b"}), list.Texts());
  EXPECT_EQ((std::vector<std::string>{"b"}), list.SelectedNames());
}

class DeleteTest : public FileListTest {
 protected:
  void SetUp() override {
    FileListTest::SetUp();
    for (const char* name : {"a.pex", "b.pex", "c.pex"}) piecesim::PutFile(0, name, name);
    ASSERT_TRUE(RefreshFileList(list));
    piecesim::ClearCallLog();
    piecesim::ClearFaults();   // fault counts start here
  }
};

TEST_F(DeleteTest, NothingSelectedDoesNothing) {
  DeleteSelectedFiles(list);
  EXPECT_TRUE(platform.shown.empty());
  EXPECT_TRUE(Calls().empty());
}

TEST_F(DeleteTest, AnsweredNoChangesNothing) {
  list.items[1].selected = true;
  DeleteSelectedFiles(list);
  ASSERT_EQ(1u, platform.shown.size());
  EXPECT_EQ("ファイルを削除してもよろしいですか？", platform.shown[0].text);
  EXPECT_EQ(unsigned(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), platform.shown[0].style);
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(3u, list.items.size());
}

TEST_F(DeleteTest, YesDeletesAllSelectedAndRefreshes) {
  list.SelectAll();
  platform.Answer(IDYES);
  DeleteSelectedFiles(list);
  EXPECT_EQ((std::vector<std::string>{"これらのファイルを削除してもよろしいですか？"}), platform.ShownTexts());
  EXPECT_TRUE(piecesim::ListFiles(0).empty());
  EXPECT_TRUE(list.items.empty());
  EXPECT_EQ(0, platform.waitDepth);
}

TEST_F(DeleteTest, IgnoreSkipsAbortStops) {
  list.SelectAll();
  piecesim::InjectFault("ismPFFSDelete", 2, 9);
  platform.Answer(IDYES);
  platform.Answer(IDIGNORE);
  DeleteSelectedFiles(list);
  EXPECT_EQ((std::vector<std::string>{"b.pex"}), piecesim::ListFiles(0));
  EXPECT_EQ(unsigned(MB_ABORTRETRYIGNORE | MB_ICONEXCLAMATION), platform.shown[1].style);

  for (const char* name : {"a.pex", "c.pex"}) piecesim::PutFile(0, name, name);
  ASSERT_TRUE(RefreshFileList(list));
  list.SelectAll();
  piecesim::ClearFaults();
  piecesim::InjectFault("ismPFFSDelete", 2, 9);
  platform.Answer(IDYES);
  platform.Answer(IDABORT);
  DeleteSelectedFiles(list);
  EXPECT_EQ((std::vector<std::string>{"b.pex", "c.pex"}), piecesim::ListFiles(0));
  EXPECT_EQ(2u, list.items.size());   // refreshed after the abort too
}

TEST_F(DeleteTest, RetryRepeatsTheDelete) {
  list.items[0].selected = true;
  piecesim::InjectFault("ismPFFSDelete", 1, 9);
  piecesim::InjectFault("ismPFFSDelete", 2, 9);
  platform.Answer(IDYES);
  platform.Answer(IDRETRY);
  platform.Answer(IDRETRY);
  DeleteSelectedFiles(list);
  EXPECT_EQ(3u, platform.shown.size());
  EXPECT_EQ(3u, Calls({"ismPFFSDelete"}).size());
  EXPECT_FALSE(piecesim::HasFile(0, "a.pex"));
}

TEST_F(DeleteTest, StartupPexDeclinedDeletesOnlyTheOther) {
  piecesim::PutFile(0, "startup.pex", "s");
  ASSERT_TRUE(RefreshFileList(list));
  list.items[0].selected = true;   // startup.pex
  list.items[1].selected = true;   // a.pex
  platform.Answer(IDYES);
  platform.Answer(IDNO);
  DeleteSelectedFiles(list);
  ASSERT_EQ(2u, platform.shown.size());
  EXPECT_EQ("startup.pexを削除してもよろしいですか？", platform.shown[1].text);
  EXPECT_TRUE(piecesim::HasFile(0, "startup.pex"));
  EXPECT_FALSE(piecesim::HasFile(0, "a.pex"));
}

TEST_F(DeleteTest, ConnectFailureStillRefreshes) {
  list.items[0].selected = true;
  piecesim::InjectFault("ismInitEx", 1, 9);
  platform.Answer(IDYES);
  DeleteSelectedFiles(list);
  ASSERT_EQ(2u, platform.shown.size());
  EXPECT_EQ("P/ECEに接続できません。", platform.shown[1].text);
  EXPECT_EQ(3u, list.items.size());
  EXPECT_TRUE(Calls({"ismPFFSDelete"}).empty());
}

TEST_F(DeleteTest, AtMost256Items) {
  std::string text;
  for (int i = 0; i < 300; ++i) {
    char name[16];
    snprintf(name, sizeof name, "f%03d", i);
    piecesim::PutFile(0, name, "x");
  }
  ASSERT_TRUE(RefreshFileList(list));
  list.SelectAll();
  platform.Answer(IDYES);
  piecesim::ClearCallLog();
  DeleteSelectedFiles(list);
  auto deletes = Calls({"ismPFFSDelete"});
  ASSERT_EQ(256u, deletes.size());
  EXPECT_EQ("ismPFFSDelete(a.pex) = 0", deletes[0]);
  EXPECT_EQ("ismPFFSDelete(f252) = 0", deletes[255]);
  EXPECT_TRUE(piecesim::HasFile(0, "f253"));
}

std::vector<std::string> ran;
void RecordRun(const std::string& name) { ran.push_back(name); }

TEST_F(FileListTest, RunOnlyPexWithoutModifiers) {
  Device("+0:1 a.pex\n+1:2 b.PEX\n+2:3 c.pfs\n+3:4 dpex\nfree\n");
  ASSERT_TRUE(RefreshFileList(list));
  ran.clear();
  for (int i = 0; i < 4; ++i) {
    list.caret = i;
    RunSelectedFile(list, &RecordRun);
  }
  list.caret = 0;
  list.modifiers = true;
  RunSelectedFile(list, &RecordRun);
  list.modifiers = false;
  list.caret = -1;
  RunSelectedFile(list, &RecordRun);
  EXPECT_EQ((std::vector<std::string>{"a.pex", "b.PEX"}), ran);
  EXPECT_TRUE(platform.shown.empty());
}

}  // namespace
