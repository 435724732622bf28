// Reading files out by drag: the temporary copies in a folder of the drag's
// own, the read at the drop with its failures, and the removal afterwards.
#include <gtest/gtest.h>

#include <dirent.h>
#include <string.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "filelist/read_out.h"
#include "stand-ins/pieceif/simulator.h"
#include "tests/support/sim_fixture.h"

namespace {

const char kNoTempFolder[] = "一時ディレクトリが取得できません。";
const char kInternalError[] = "内部エラーが発生しました。";

bool IsFolder(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

class ReadOutTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    platform.tempFolder = host.path() + "/";
    piecesim::PutFile(0, "a.pex", "AAAA");
    piecesim::PutFile(0, "b.txt", "BB");
    piecesim::PutFile(0, "c.dat", "C");
  }
  const std::vector<std::string> items = {"     4 a.pex", "     2 b.txt", "     1 c.dat"};
};

TEST_F(ReadOutTest, ReadsIntoAFreshFolderAndRemovesEverything) {
  // A file of the user's under the same name stays untouched.
  host.Write("a.pex", "mine");
  std::string folder;
  {
    ReadOut readOut;
    ASSERT_TRUE(readOut.Prepare(items));
    folder = readOut.folder();
    ASSERT_EQ(platform.tempFolder, folder.substr(0, platform.tempFolder.size()));
    EXPECT_TRUE(IsFolder(folder));
    EXPECT_EQ((std::vector<std::string>{folder + "a.pex", folder + "b.txt", folder + "c.dat"}),
              readOut.tempPaths());
    EXPECT_TRUE(Calls().empty()) << "nothing is read before the drop";

    ASSERT_TRUE(readOut.ReadAtDrop());
    EXPECT_EQ(readOut.tempPaths(), readOut.readPaths());
    EXPECT_EQ((std::vector<std::string>{"ismExit() = 0", "ismInitEx(0, 0) = 0",
                                        "ismPFFSRead(a.pex, " + folder + "a.pex) = 0",
                                        "ismPFFSRead(b.txt, " + folder + "b.txt) = 0",
                                        "ismPFFSRead(c.dat, " + folder + "c.dat) = 0",
                                        "ismExit() = 0"}),
              Calls());
    std::string bytes;
    ASSERT_TRUE(platform.ReadFileBytes(folder + "a.pex", &bytes));
    EXPECT_EQ("AAAA", bytes);
    EXPECT_EQ(0, platform.waitDepth);
    EXPECT_EQ(1, platform.waitBegins);
    readOut.ReportError();
    EXPECT_TRUE(platform.shown.empty());
  }
  EXPECT_FALSE(platform.PathExists(folder + "a.pex"));
  EXPECT_FALSE(platform.PathExists(folder));
  std::string mine;
  ASSERT_TRUE(platform.ReadFileBytes(host.File("a.pex"), &mine));
  EXPECT_EQ("mine", mine);
}

TEST_F(ReadOutTest, EachDragGetsItsOwnFolder) {
  ReadOut first, second;
  ASSERT_TRUE(first.Prepare(items));
  ASSERT_TRUE(second.Prepare(items));
  EXPECT_NE(first.folder(), second.folder());
  // A folder already lying where a new one would go is passed over.
  ASSERT_TRUE(platform.CreateFolder(host.File("QL00000100")));
  host.Write("QL00000100/a.pex", "old");
  platform.now = 99;   // the next candidate name is QL00000100
  ReadOut third;
  ASSERT_TRUE(third.Prepare(items));
  EXPECT_NE(host.File("QL00000100/"), third.folder());
  ASSERT_TRUE(third.ReadAtDrop());
  third.Cleanup();
  EXPECT_TRUE(platform.PathExists(host.File("QL00000100/a.pex")));
}

TEST_F(ReadOutTest, FailedReadCancelsAndRemovesWhatWasRead) {
  piecesim::InjectFault("ismPFFSRead", 2, 9);
  ReadOut readOut;
  ASSERT_TRUE(readOut.Prepare(items));
  std::string folder = readOut.folder();
  EXPECT_FALSE(readOut.ReadAtDrop());
  EXPECT_EQ("ファイルの読み込みに失敗しました。", readOut.errorText());
  EXPECT_EQ((std::vector<std::string>{folder + "a.pex"}), readOut.readPaths());
  EXPECT_EQ(2u, Calls({"ismPFFSRead"}).size()) << "the third file is not read";
  EXPECT_EQ("ismExit", CallNames().back());
  EXPECT_TRUE(platform.shown.empty()) << "shown only after the drag loop";
  readOut.ReportError();
  EXPECT_EQ((std::vector<std::string>{"ファイルの読み込みに失敗しました。"}), platform.ShownTexts());
  EXPECT_EQ(kErrorStyle, platform.shown[0].style);
  readOut.Cleanup();
  EXPECT_FALSE(platform.PathExists(folder));
}

TEST_F(ReadOutTest, NoDeviceAtTheDrop) {
  ReadOut readOut;
  ASSERT_TRUE(readOut.Prepare(items));
  piecesim::RemoveDevice(0);
  EXPECT_FALSE(readOut.ReadAtDrop());
  EXPECT_EQ("P/ECEに接続できません。", readOut.errorText());
  EXPECT_TRUE(readOut.readPaths().empty());
  EXPECT_TRUE(Calls({"ismPFFSRead"}).empty());
  EXPECT_EQ(0, platform.waitDepth);
}

TEST_F(ReadOutTest, PreparationFailuresLeaveNothingBehind) {
  struct Case {
    std::vector<std::string> items;
    const char* message;
  };
  const std::vector<Case> cases = {
      {{"     4 a.pex", "    12"}, kInternalError},       // an item without a name
      {{"     4 ..\\..\\boot.ini"}, kInternalError},      // names that would leave the folder
      {{"     4 \\root.pex"}, kInternalError},
      {{"     4 a:stream"}, kInternalError},
      {{"     4 .."}, kInternalError},
      {{"     4 sub\\"}, kInternalError},                 // no file-name part
      {{"     4 sub\\a.pex", "     4 a.pex"}, kInternalError},   // two copies of one name
      {{"     4 A.pex", "     4 a.pex"}, kInternalError},
  };
  for (const Case& c : cases) {
    platform.shown.clear();
    ReadOut readOut;
    EXPECT_FALSE(readOut.Prepare(c.items)) << c.items.back();
    EXPECT_EQ((std::vector<std::string>{c.message}), platform.ShownTexts()) << c.items.back();
  }
  platform.shown.clear();
  platform.tempFolderAvailable = false;
  ReadOut noTemp;
  EXPECT_FALSE(noTemp.Prepare(items));
  EXPECT_EQ((std::vector<std::string>{kNoTempFolder}), platform.ShownTexts());

  EXPECT_TRUE(FolderEntries(host.path()).empty()) << "nothing is made inside the temporary folder";
}

TEST_F(ReadOutTest, NameWithAFolderPartIsReadByItsWholeName) {
  piecesim::PutFile(0, "sub\\game.pex", "in sub");
  piecesim::PutFile(0, "top.pex", "on top");
  ReadOut readOut;
  ASSERT_TRUE(readOut.Prepare({"     6 sub\\game.pex", "     6 top.pex"}));
  std::string folder = readOut.folder();
  EXPECT_EQ((std::vector<std::string>{folder + "game.pex", folder + "top.pex"}), readOut.tempPaths());
  ASSERT_TRUE(readOut.ReadAtDrop());
  std::string sub, top;
  ASSERT_TRUE(platform.ReadFileBytes(folder + "game.pex", &sub));
  ASSERT_TRUE(platform.ReadFileBytes(folder + "top.pex", &top));
  EXPECT_EQ("in sub", sub);
  EXPECT_EQ("on top", top);
}

TEST_F(ReadOutTest, DoubleByteNamesStayWhole) {
  // "ソ" ends in the byte of a backslash; it is no folder separator.
  const std::string name = "ソフト.pex";
  piecesim::PutFile(0, name, "S");
  ReadOut readOut;
  ASSERT_TRUE(readOut.Prepare({"     1 " + name}));
  ASSERT_TRUE(readOut.ReadAtDrop());
  EXPECT_EQ(readOut.folder() + name, readOut.readPaths().at(0));
  EXPECT_TRUE(platform.PathExists(readOut.folder() + name));
}

TEST_F(ReadOutTest, PathsMustFitTheBuffer) {
  // The folder's own name is "QL" and eight digits, plus a separator.
  std::string deep = host.path();
  while (deep.size() < 200) {
    deep += "/" + std::string(40, 'd');
    ASSERT_EQ(0, mkdir(deep.c_str(), 0700));
  }
  deep += "/";
  platform.tempFolder = deep;
  size_t room = 259 - deep.size() - 11;   // the longest name that still fits
  std::string fits(room, 'f'), tooLong(room + 1, 'g');

  ReadOut tooLongOut;
  EXPECT_FALSE(tooLongOut.Prepare({"     1 " + tooLong}));
  EXPECT_EQ((std::vector<std::string>{kNoTempFolder}), platform.ShownTexts());

  platform.shown.clear();
  ReadOut fitsOut;
  ASSERT_TRUE(fitsOut.Prepare({"     1 " + fits}));
  EXPECT_EQ(259u, fitsOut.tempPaths().at(0).size());
  EXPECT_TRUE(platform.shown.empty());
}

}  // namespace
