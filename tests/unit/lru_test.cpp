// The LRU list's order rules, its reconciliation with the device listing, and
// SwapOutOne on the simulated device.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "app/settings_store.h"
#include "device/connection.h"
#include "stand-ins/pieceif/simulator.h"
#include "tests/support/sim_fixture.h"
#include "transfer/lru.h"

using Names = std::vector<std::string>;

class LruTest : public SimTest {};

TEST_F(LruTest, MarkRecentlyUsedMovesOrAppendsAndNeverTakesStartup) {
  LruList = {"a", "b", "c"};
  MarkRecentlyUsed("b");
  EXPECT_EQ((Names{"a", "c", "b"}), LruList);
  MarkRecentlyUsed("d");
  EXPECT_EQ((Names{"a", "c", "b", "d"}), LruList);
  MarkRecentlyUsed("startup.pex");
  MarkRecentlyUsed("StartUp.PEX");
  EXPECT_EQ((Names{"a", "c", "b", "d"}), LruList);
  // Adding compares byte for byte: another case is another entry.
  MarkRecentlyUsed("A");
  EXPECT_EQ((Names{"a", "c", "b", "d", "A"}), LruList);
}

TEST_F(LruTest, ReconcileAppendsNewDeviceFilesAndDropsGoneOnes) {
  piecesim::PutFile(0, "c", "3");
  piecesim::PutFile(0, "x", "x");
  piecesim::PutFile(0, "startup.pex", "s");
  piecesim::PutFile(0, "b", "2");
  LruList = {"a", "b", "c"};
  ASSERT_TRUE(ReconcileLruList());
  EXPECT_EQ((Names{"b", "c", "x"}), LruList);
  // Its own connection, closed again.
  EXPECT_EQ((std::vector<std::string>{"ismExit", "ismInitEx", "ismPFFSDir", "ismExit"}), CallNames());
}

TEST_F(LruTest, ReconcileAddsByBytesButKeepsByCase) {
  piecesim::PutFile(0, "Game.pex", "g");
  LruList = {"game.pex"};
  ASSERT_TRUE(ReconcileLruList());
  EXPECT_EQ((Names{"game.pex", "Game.pex"}), LruList);
}

TEST_F(LruTest, ReconcileNeverLeavesStartupOnTheList) {
  piecesim::PutFile(0, "STARTUP.PEX", "s");
  piecesim::PutFile(0, "a", "a");
  LruList = {"Startup.pex", "a"};
  ASSERT_TRUE(ReconcileLruList());
  EXPECT_EQ((Names{"a"}), LruList);
}

TEST_F(LruTest, ReconcileFailureLeavesTheListAlone) {
  LruList = {"a", "b"};
  piecesim::RemoveDevice(0);
  EXPECT_FALSE(ReconcileLruList());
  EXPECT_EQ((Names{"a", "b"}), LruList);

  piecesim::CreateDevice(0);
  piecesim::SetDirText(0, "+0:12\n");   // no summary line
  EXPECT_FALSE(ReconcileLruList());
  EXPECT_EQ((Names{"a", "b"}), LruList);
}

// SwapOutOne runs inside the transfer's connection.
class SwapOutTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    AppSettings.folder = swap.path() + "/";
    AppSettings.warnoverwr = true;
    AppSettings.openfolder = true;
    ASSERT_TRUE(ConnectDevice());
    piecesim::ClearCallLog();
  }
  void TearDown() override {
    DisconnectDevice();
    SimTest::TearDown();
  }
  std::string SwappedBytes(const std::string& name) {
    std::string bytes;
    return platform.ReadFileBytes(swap.File(name), &bytes) ? bytes : "<missing>";
  }
  TempDir swap;
  bool folderOpened = false;
};

TEST_F(SwapOutTest, MovesTheFrontFilesOneAtATime) {
  piecesim::PutFile(0, "d", "dddd");
  piecesim::PutFile(0, "e", "ee");
  LruList = {"d", "e"};

  ASSERT_TRUE(SwapOutOne(folderOpened));
  EXPECT_EQ("dddd", SwappedBytes("d"));
  EXPECT_FALSE(piecesim::HasFile(0, "d"));
  EXPECT_EQ((Names{"e"}), LruList);

  ASSERT_TRUE(SwapOutOne(folderOpened));
  EXPECT_EQ("ee", SwappedBytes("e"));
  EXPECT_FALSE(piecesim::HasFile(0, "e"));

  piecesim::ClearCallLog();
  EXPECT_FALSE(SwapOutOne(folderOpened));
  EXPECT_TRUE(piecesim::CallLog().empty());

  // The folder opened once, before the first copy.
  EXPECT_EQ((Names{AppSettings.folder}), platform.openedFolders);
  EXPECT_TRUE(folderOpened);
  EXPECT_TRUE(platform.shown.empty());
}

TEST_F(SwapOutTest, SwapPathRule) {
  struct Case {
    std::string folder;   // relative to the swap dir
    std::string path;     // expected swap path, relative to it too
  };
  // A trailing '\' or '/' is used as it is; otherwise '\' goes between. The
  // last byte of ソ is 0x5C, but it is no separator.
  const std::vector<Case> cases = {
      {"/", "/f"},
      {"/sub\\", "/sub\\f"},
      {"/plain", "/plain\\f"},
      {"/ソ", "/ソ\\f"},
  };
  for (const Case& c : cases) {
    piecesim::PutFile(0, "f", "bytes");
    LruList = {"f"};
    AppSettings.folder = swap.path() + c.folder;
    piecesim::ClearCallLog();
    ASSERT_TRUE(SwapOutOne(folderOpened)) << c.folder;
    EXPECT_EQ("ismPFFSRead(f, " + swap.path() + c.path + ") = 0", Calls({"ismPFFSRead"}).at(0));
  }
}

TEST_F(SwapOutTest, EmptyFolderGivesTheBareName) {
  char previous[4096];
  ASSERT_TRUE(getcwd(previous, sizeof previous));
  ASSERT_EQ(0, chdir(swap.path().c_str()));
  piecesim::PutFile(0, "f", "bytes");
  LruList = {"f"};
  AppSettings.folder = "";
  AppSettings.openfolder = false;
  EXPECT_TRUE(SwapOutOne(folderOpened));
  EXPECT_EQ((std::vector<std::string>{"ismPFFSRead(f, f) = 0", "ismPFFSDelete(f) = 0"}), Calls());
  EXPECT_EQ("bytes", SwappedBytes("f"));
  ASSERT_EQ(0, chdir(previous));
}

TEST_F(SwapOutTest, OverwriteQuestion) {
  piecesim::PutFile(0, "d", "new");
  swap.Write("d", "old");
  LruList = {"d", "e"};
  platform.Answer(IDNO);
  EXPECT_FALSE(SwapOutOne(folderOpened));
  ASSERT_EQ(1u, platform.shown.size());
  EXPECT_EQ(AppSettings.folder + "dを上書きしてもよろしいですか？", platform.shown[0].text);
  EXPECT_EQ(unsigned(MB_YESNO | MB_ICONQUESTION), platform.shown[0].style);   // Yes is the default
  // d stays on the device and in the folder as it was, but is off the list.
  EXPECT_TRUE(piecesim::HasFile(0, "d"));
  EXPECT_EQ("old", SwappedBytes("d"));
  EXPECT_EQ((Names{"e"}), LruList);

  LruList = {"d"};
  platform.Answer(IDYES);
  EXPECT_TRUE(SwapOutOne(folderOpened));
  EXPECT_EQ("new", SwappedBytes("d"));

  // Without warnoverwr nothing is asked.
  piecesim::PutFile(0, "d", "newer");
  LruList = {"d"};
  AppSettings.warnoverwr = false;
  EXPECT_TRUE(SwapOutOne(folderOpened));
  EXPECT_EQ(2u, platform.shown.size());
  EXPECT_EQ("newer", SwappedBytes("d"));
}

TEST_F(SwapOutTest, FailedDeleteMovesOnWithoutAMessage) {
  piecesim::PutFile(0, "d", "dd");
  piecesim::PutFile(0, "e", "ee");
  LruList = {"d", "e"};
  piecesim::InjectFault("ismPFFSDelete", 1, 9);
  EXPECT_TRUE(SwapOutOne(folderOpened));
  // d is on the device and in the folder; e has gone to the folder.
  EXPECT_TRUE(piecesim::HasFile(0, "d"));
  EXPECT_EQ("dd", SwappedBytes("d"));
  EXPECT_FALSE(piecesim::HasFile(0, "e"));
  EXPECT_EQ("ee", SwappedBytes("e"));
  EXPECT_TRUE(LruList.empty());
  EXPECT_TRUE(platform.shown.empty());

  // With nothing left to try the swap-out fails.
  piecesim::PutFile(0, "f", "ff");
  LruList = {"f"};
  piecesim::InjectFault("ismPFFSDelete", 0, 9);
  EXPECT_FALSE(SwapOutOne(folderOpened));
  EXPECT_TRUE(piecesim::HasFile(0, "f"));
}

TEST_F(SwapOutTest, DeviceFileStaysUnlessItsCopyIsThere) {
  piecesim::PutFile(0, "d", "dd");
  LruList = {"d", "e"};
  // A read that fails.
  piecesim::InjectFault("ismPFFSRead", 1, 5);
  EXPECT_FALSE(SwapOutOne(folderOpened));
  EXPECT_TRUE(piecesim::HasFile(0, "d"));
  EXPECT_EQ((Names{"e"}), LruList);   // the name stays off until the next reconciliation

  // A read that reports success but leaves no copy.
  LruList = {"d"};
  piecesim::InjectFault("ismPFFSRead", 2, 0);
  EXPECT_FALSE(SwapOutOne(folderOpened));
  EXPECT_TRUE(piecesim::HasFile(0, "d"));
  EXPECT_EQ("<missing>", SwappedBytes("d"));
  EXPECT_TRUE(Calls({"ismPFFSDelete"}).empty());
}

TEST_F(SwapOutTest, NamesThatLeaveTheSwapFolderStayOnTheDevice) {
  // Names a transfer list can give; a copy of them would land outside the
  // swap folder.
  for (const char* name : {"..\\up.pex", "sub\\..\\..\\x.pex", "\\root.pex", "c:x.pex", "sub/.."}) {
    piecesim::PutFile(0, name, "keep");
    piecesim::PutFile(0, "ok.pex", "ok");
    LruList = {name, "ok.pex"};
    AppSettings.openfolder = false;
    AppSettings.warnoverwr = false;   // ok.pex is in the folder from the last round
    EXPECT_TRUE(SwapOutOne(folderOpened)) << name;
    EXPECT_TRUE(piecesim::HasFile(0, name)) << name;
    EXPECT_EQ("ok", SwappedBytes("ok.pex")) << name;
    EXPECT_TRUE(LruList.empty()) << name;
  }
  // A folder part inside the swap folder, and a Japanese name whose second
  // byte is a backslash, are swapped as usual.
  ASSERT_EQ(0, mkdir(swap.File("sub").c_str(), 0700));
  piecesim::PutFile(0, "sub\\a..b.pex", "s");
  piecesim::PutFile(0, "ソ..pex", "j");
  LruList = {"ソ..pex"};
  EXPECT_TRUE(SwapOutOne(folderOpened));
  EXPECT_EQ("j", SwappedBytes("ソ..pex"));
}

TEST_F(SwapOutTest, OverlongSwapPathIsPassedOverNotCut) {
  piecesim::PutFile(0, "abcdefghij.pex", "x");
  piecesim::PutFile(0, "a", "short");
  LruList = {"abcdefghij.pex", "a"};
  // folder + the first name comes to 260 characters; the second still fits.
  AppSettings.folder = swap.path() + "/" + std::string(259 - swap.path().size() - 1 - 14, 'f') + "/";
  ASSERT_EQ(0, mkdir(AppSettings.folder.c_str(), 0700));
  AppSettings.openfolder = false;
  EXPECT_TRUE(SwapOutOne(folderOpened));
  EXPECT_EQ((Names{"ismPFFSRead(a, " + AppSettings.folder + "a) = 0", "ismPFFSDelete(a) = 0"}), Calls());
  EXPECT_TRUE(piecesim::HasFile(0, "abcdefghij.pex"));

  // 259 is still fine.
  AppSettings.folder = swap.path() + "/";
  AppSettings.folder += std::string(259 - AppSettings.folder.size() - 14 - 1, 'g') + "/";
  ASSERT_EQ(0, mkdir(AppSettings.folder.c_str(), 0700));
  LruList = {"abcdefghij.pex"};
  ASSERT_EQ(259u, (AppSettings.folder + "abcdefghij.pex").size());
  EXPECT_TRUE(SwapOutOne(folderOpened));
  EXPECT_EQ(259u, (AppSettings.folder + "abcdefghij.pex").size());
}
