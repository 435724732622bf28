// TransferFiles on the simulated device: device names, .pfs lists, the
// startup question, full flash in both modes, every box and its answers.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "app/settings_store.h"
#include "device/connection.h"
#include "device/pieceif.h"
#include "stand-ins/pieceif/simulator.h"
#include "tests/support/sim_fixture.h"
#include "transfer/lru.h"
#include "transfer/transfer.h"
#include "transfer/transfer_list.h"

using Names = std::vector<std::string>;

namespace {

const char kLruFailed[] = "LRUリストの調整に失敗しました。";
const char kNoConnection[] = "P/ECEに接続できません。";
const char kListOpenFailed[] = "PFSファイルが開けません。";
const char kBlankInName[] = "空白を含むファイル名は転送できません。";
const char kStartupQuestion[] = "startup.pexを書き込んでもよろしいですか？";
const char kNoRoom[] = "空き容量が足りません。";
const char kWriteFailed[] = "ファイルの書き込みに失敗しました。";
const char kSwapFailed[] = "ファイルの入れ替えに失敗しました。";

}  // namespace

// ---------------------------------------------------------------------------
// The .pfs reader on its own.

class TransferListTest : public ::testing::Test {
 protected:
  Names Lines(const std::string& content) {
    dir.Write("list.pfs", content);
    TransferListReader reader;
    EXPECT_TRUE(reader.Open(dir.File("list.pfs")));
    Names lines;
    std::string line;
    while (reader.NextLine(&line)) lines.push_back(line);
    return lines;
  }
  TempDir dir;
};

TEST_F(TransferListTest, LineRules) {
  const std::string x255(255, 'x');
  const std::string y45(45, 'y');
  struct Case {
    std::string content;
    Names lines;
  };
  const std::vector<Case> cases = {
      {"a.pex\nb.pex\n", {"a.pex", "b.pex"}},
      {"a.pex\n\nb.pex  \r\n", {"a.pex", "b.pex"}},            // empty line, trailing blanks and CR
      {"a.pex\r\n\r\n\t \r\nb.pex", {"a.pex", "b.pex"}},        // blank lines; no final LF
      {" lead.pex\n", {" lead.pex"}},                           // leading blanks stay
      {"x\ry.pex\n", {"x\ry.pex"}},                             // a lone CR is text
      {"a.pex\r", {"a.pex"}},                                   // ... and a trailing one a blank
      {"a.pex\n\x1a" "b.pex\n", {"a.pex"}},                     // Ctrl-Z ends the file
      {"a.p\x1a" "ex\n", {"a.p"}},
      {std::string("ab\0cd\nef\n", 9), {"ab", "ef"}},           // a zero byte ends the line's text
      {x255 + y45 + "\n", {x255, y45}},                         // 255-byte pieces
      {x255 + "\nz\n", {x255, "z"}},                            // the LF after 255 bytes is an empty piece
      {std::string(254, 'w') + "\r\nz\n", {std::string(254, 'w'), "z"}},   // CR LF counts as one byte
      {x255 + "   \n", {x255}},                                 // a piece of blanks only is skipped
      {"", {}},
      {"\n\n\r\n", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.lines, Lines(c.content)) << c.content;
}

// ---------------------------------------------------------------------------
// TransferFiles.

class TransferTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    AppSettings.folder = swap.path() + "/";
  }
  void TearDown() override {
    EXPECT_EQ(0, platform.waitDepth) << "the wait cursor was left up";
    SimTest::TearDown();
  }
  // A host file in the host folder; returns its path.
  std::string Host(const std::string& name, const std::string& bytes) {
    host.Write(name, bytes);
    return host.File(name);
  }
  std::string Device(const std::string& name) {
    std::string bytes;
    return piecesim::GetFile(0, name, &bytes) ? bytes : "<missing>";
  }
  std::string Swapped(const std::string& name) {
    std::string bytes;
    return platform.ReadFileBytes(swap.File(name), &bytes) ? bytes : "<missing>";
  }
  Names Writes() {
    Names out;
    for (const std::string& line : Calls({"ismPFFSWrite"})) out.push_back(line);
    return out;
  }
  TempDir swap;
};

TEST_F(TransferTest, EmptyListDoesNothing) {
  TransferFiles({});
  EXPECT_TRUE(piecesim::CallLog().empty());
  EXPECT_TRUE(platform.shown.empty());
  EXPECT_EQ(0, platform.waitBegins);
}

TEST_F(TransferTest, WithoutADeviceOnlyTheLruFailureShows) {
  std::string a = Host("a.pex", "A");
  piecesim::RemoveDevice(0);
  TransferFiles({a});
  ASSERT_EQ(Names{kLruFailed}, platform.ShownTexts());
  EXPECT_EQ(kErrorStyle, platform.shown[0].style);
  EXPECT_TRUE(Writes().empty());
}

TEST_F(TransferTest, ConnectionFailureAfterTheReconciliation) {
  std::string a = Host("a.pex", "A");
  // The reconciliation's ismInitEx works, the transfer's does not.
  piecesim::InjectFault("ismInitEx", 2, piecesim::kStatusNoDevice);
  TransferFiles({a});
  ASSERT_EQ(Names{kNoConnection}, platform.ShownTexts());
  EXPECT_EQ(kErrorStyle, platform.shown[0].style);
  EXPECT_TRUE(Writes().empty());
  EXPECT_EQ("ismExit", CallNames().back());
}

TEST_F(TransferTest, OneConnectionForAllWritesAfterTheReconciliation) {
  std::string a = Host("a.pex", "A");
  std::string b = Host("b.pex", "B");
  TransferFiles({a, b});
  EXPECT_EQ((Names{"ismExit", "ismInitEx", "ismPFFSDir", "ismExit",    // reconciliation
                   "ismExit", "ismInitEx", "ismPFFSWrite", "ismPFFSWrite", "ismExit"}),
            CallNames());
  EXPECT_EQ((Names{"a.pex", "b.pex"}), LruList);
  EXPECT_TRUE(platform.shown.empty());
  EXPECT_GE(platform.waitBegins, 1);
}

TEST_F(TransferTest, DeviceNamesAreTheLoweredFileNames) {
  ASSERT_EQ(0, mkdir(host.File("Games").c_str(), 0700));
  std::string upper = Host("Games/GAME.PEX", "G");
  // ア is 0x83 0x41 and ソ is 0x83 0x5C: neither a letter nor a separator.
  std::string kana = Host("アソMIX.PEX", "K");
  TransferFiles({upper, kana});
  EXPECT_EQ((Names{"ismPFFSWrite(game.pex, " + upper + ") = 0",
                   "ismPFFSWrite(アソmix.pex, " + kana + ") = 0"}),
            Writes());
  EXPECT_EQ("G", Device("game.pex"));
  EXPECT_EQ("K", Device("アソmix.pex"));
}

TEST_F(TransferTest, NameWithABlankIsRefusedAndTheNextStillWritten) {
  std::string spaced = Host("My Game.pex", "M");
  std::string b = Host("b.pex", "B");
  TransferFiles({spaced, b});
  ASSERT_EQ(Names{kBlankInName}, platform.ShownTexts());
  EXPECT_EQ(kErrorStyle, platform.shown[0].style);
  EXPECT_EQ(1u, Writes().size());
  EXPECT_EQ("B", Device("b.pex"));
}

TEST_F(TransferTest, StartupQuestion) {
  std::string startup = Host("STARTUP.PEX", "S");
  TransferFiles({startup});   // no answer scripted: No
  ASSERT_EQ(Names{kStartupQuestion}, platform.ShownTexts());
  EXPECT_EQ(kConfirmStyle, platform.shown[0].style);
  EXPECT_TRUE(Writes().empty());

  LruList = {};
  platform.Answer(IDYES);
  TransferFiles({startup});
  EXPECT_EQ("S", Device("startup.pex"));
  EXPECT_TRUE(LruList.empty());
}

TEST_F(TransferTest, OverlongHostPathIsRefusedAndRetryAsksAgain) {
  // host/<folder>/a.pex of exactly 259 characters is written; one more is refused.
  std::string folder = host.path() + "/" + std::string(259 - host.path().size() - 1 - 6, 'd');
  ASSERT_EQ(0, mkdir(folder.c_str(), 0700));
  std::string fits = folder + "/a.pex";
  ASSERT_EQ(259u, fits.size());
  host.Write(fits.substr(host.path().size() + 1), "A");
  std::string tooLong = folder + "/ab.pex";
  host.Write(tooLong.substr(host.path().size() + 1), "AB");
  std::string next = Host("n.pex", "N");

  platform.Answer(IDRETRY);
  platform.Answer(IDIGNORE);
  TransferFiles({fits, tooLong, next});
  EXPECT_EQ((Names{kWriteFailed, kWriteFailed}), platform.ShownTexts());
  EXPECT_EQ(kRetryStyle, platform.shown[0].style);
  EXPECT_EQ("A", Device("a.pex"));
  EXPECT_EQ("N", Device("n.pex"));
  EXPECT_EQ(2u, Writes().size());   // the refused path never reaches the device
}

TEST_F(TransferTest, OverlongListLineIsRefusedEvenInSwapMode) {
  AppSettings.mode = true;
  std::string line(250, 'l');
  std::string list = Host("list.pfs", line + "\nb.pex\n");
  Host("b.pex", "B");
  platform.Answer(IDIGNORE);
  TransferFiles({list});
  EXPECT_EQ(Names{kWriteFailed}, platform.ShownTexts());
  EXPECT_EQ((Names{"ismPFFSWrite(b.pex, " + host.File("b.pex") + ") = 0"}), Writes());
  EXPECT_TRUE(Calls({"ismPFFSRead"}).empty());
}

// ---------------------------------------------------------------------------
// Transfer lists.

TEST_F(TransferTest, ListWritesItsLinesFromItsOwnFolder) {
  Host("a.pex", "A");
  Host("b.pex", "B");
  std::string list = Host("games.PFS", "a.pex\n\nb.pex  \r\n");
  TransferFiles({list});
  EXPECT_EQ((Names{"ismPFFSWrite(a.pex, " + host.File("a.pex") + ") = 0",
                   "ismPFFSWrite(b.pex, " + host.File("b.pex") + ") = 0"}),
            Writes());
  EXPECT_TRUE(platform.shown.empty());
}

TEST_F(TransferTest, ListLineRules) {
  ASSERT_EQ(0, mkdir(host.File("sub").c_str(), 0700));
  Host("sub/GAME.PEX", "G");
  Host("inner.pfs", "never.pex\n");
  Host("never.pex", "X");
  Host("c.pex", "C");
  std::string list = Host("list.pfs", " lead.pex\nsub/GAME.PEX\ninner.pfs\nc.pex\n");
  TransferFiles({list});
  // A leading blank is refused; the folder part stays in the device name; a
  // list inside a list is written as a plain file.
  EXPECT_EQ(Names{kBlankInName}, platform.ShownTexts());
  EXPECT_EQ((Names{"ismPFFSWrite(sub/game.pex, " + host.File("sub/GAME.PEX") + ") = 0",
                   "ismPFFSWrite(inner.pfs, " + host.File("inner.pfs") + ") = 0",
                   "ismPFFSWrite(c.pex, " + host.File("c.pex") + ") = 0"}),
            Writes());
  EXPECT_EQ("never.pex\n", Device("inner.pfs"));
}

TEST_F(TransferTest, ListThatCannotBeOpened) {
  std::string missing = host.File("missing.pfs");
  std::string b = Host("b.pex", "B");

  platform.Answer(IDRETRY);
  platform.Answer(IDIGNORE);
  TransferFiles({missing, b});
  EXPECT_EQ((Names{kListOpenFailed, kListOpenFailed}), platform.ShownTexts());
  EXPECT_EQ(kRetryStyle, platform.shown[0].style);
  EXPECT_EQ(1u, Writes().size());

  piecesim::ClearCallLog();
  platform.shown.clear();
  TransferFiles({missing, b});   // Abort
  EXPECT_EQ(Names{kListOpenFailed}, platform.ShownTexts());
  EXPECT_TRUE(Writes().empty());
  EXPECT_EQ("ismExit", CallNames().back());
}

TEST_F(TransferTest, AbortInsideAListEndsTheWholeTransfer) {
  Host("a.pex", "A");
  Host("b.pex", "B");
  std::string list = Host("list.pfs", "a.pex\nb.pex\n");
  std::string c = Host("c.pex", "C");
  piecesim::InjectFault("ismPFFSWrite", 1, 7);
  TransferFiles({list, c});   // Abort
  EXPECT_EQ(Names{kWriteFailed}, platform.ShownTexts());
  EXPECT_EQ(1u, Writes().size());
  EXPECT_TRUE(piecesim::ListFiles(0).empty());
}

// ---------------------------------------------------------------------------
// Full flash and failures.

TEST_F(TransferTest, FullFlashWithoutSwapping) {
  std::string a = Host("a.pex", "A");
  std::string b = Host("b.pex", "B");
  struct Case {
    int32_t status;
    std::vector<int> answers;
    Names boxes;
    Names onDevice;
  };
  const std::vector<Case> cases = {
      {kPieceFlashFull, {IDRETRY}, {kNoRoom}, {"a.pex", "b.pex"}},     // Retry writes again
      {kPieceFlashFullAlt, {IDIGNORE}, {kNoRoom}, {"b.pex"}},          // Ignore skips
      {kPieceFlashFull, {IDABORT}, {kNoRoom}, {}},                     // Abort ends it all
      {7, {IDRETRY}, {kWriteFailed}, {"a.pex", "b.pex"}},   // any other status
  };
  for (const Case& c : cases) {
    piecesim::ResetAll();
    piecesim::CreateDevice(0);
    LruList.clear();
    platform.shown.clear();
    for (int answer : c.answers) platform.Answer(answer);
    piecesim::InjectFault("ismPFFSWrite", 1, c.status);
    TransferFiles({a, b});
    EXPECT_EQ(c.boxes, platform.ShownTexts()) << c.status;
    for (const ShownMessage& m : platform.shown) EXPECT_EQ(kRetryStyle, m.style);
    EXPECT_EQ(c.onDevice, piecesim::ListFiles(0)) << c.status;
    EXPECT_EQ(c.onDevice, LruList);
    EXPECT_TRUE(Calls({"ismPFFSRead"}).empty());
    platform.answers.clear();
  }
}

TEST_F(TransferTest, SwapModeSwapsThreeOldFilesInLruOrderForOneBigOne) {
  AppSettings.mode = true;
  piecesim::SetState(0, "capacity", "1000");
  piecesim::PutFile(0, "startup.pex", std::string(50, 's'));
  piecesim::PutFile(0, "a.pex", std::string(300, 'a'));
  piecesim::PutFile(0, "b.pex", std::string(300, 'b'));
  piecesim::PutFile(0, "c.pex", std::string(300, 'c'));
  LruList = {"c.pex", "a.pex", "b.pex"};   // not the device order
  std::string big = Host("big.pex", std::string(900, 'B'));

  TransferFiles({big});

  EXPECT_TRUE(platform.shown.empty());
  EXPECT_EQ((Names{"ismPFFSWrite(big.pex, " + big + ") = 1005",
                   "ismPFFSRead(c.pex, " + swap.File("c.pex") + ") = 0", "ismPFFSDelete(c.pex) = 0",
                   "ismPFFSWrite(big.pex, " + big + ") = 1005",
                   "ismPFFSRead(a.pex, " + swap.File("a.pex") + ") = 0", "ismPFFSDelete(a.pex) = 0",
                   "ismPFFSWrite(big.pex, " + big + ") = 1005",
                   "ismPFFSRead(b.pex, " + swap.File("b.pex") + ") = 0", "ismPFFSDelete(b.pex) = 0",
                   "ismPFFSWrite(big.pex, " + big + ") = 0"}),
            Calls({"ismPFFSWrite", "ismPFFSRead", "ismPFFSDelete"}));
  EXPECT_EQ(std::string(300, 'a'), Swapped("a.pex"));
  EXPECT_EQ(std::string(300, 'b'), Swapped("b.pex"));
  EXPECT_EQ(std::string(300, 'c'), Swapped("c.pex"));
  EXPECT_EQ((Names{"startup.pex", "big.pex"}), piecesim::ListFiles(0));
  EXPECT_EQ(Names{"big.pex"}, LruList);
  EXPECT_EQ(Names{AppSettings.folder}, platform.openedFolders);
}

TEST_F(TransferTest, SwapFolderOpensOncePerTransfer) {
  AppSettings.mode = true;
  piecesim::SetState(0, "capacity", "100");
  piecesim::PutFile(0, "o1", std::string(50, '1'));
  piecesim::PutFile(0, "o2", std::string(50, '2'));
  std::string n1 = Host("n1", std::string(50, 'x'));
  std::string n2 = Host("n2", std::string(50, 'y'));
  TransferFiles({n1, n2});
  EXPECT_EQ(2u, Calls({"ismPFFSDelete"}).size());
  EXPECT_EQ(1u, platform.openedFolders.size());

  // The next transfer opens it again.
  std::string n3 = Host("n3", std::string(50, 'z'));
  TransferFiles({n3});
  EXPECT_EQ(2u, platform.openedFolders.size());
  EXPECT_EQ("<missing>", Device("n1"));
  EXPECT_EQ(std::string(50, 'x'), Swapped("n1"));

  AppSettings.openfolder = false;
  std::string n4 = Host("n4", std::string(50, 'w'));
  TransferFiles({n4});
  EXPECT_EQ(2u, platform.openedFolders.size());
  EXPECT_TRUE(platform.shown.empty());
}

TEST_F(TransferTest, SwapModeFailures) {
  AppSettings.mode = true;
  std::string a = Host("a.pex", std::string(60, 'a'));
  std::string b = Host("b.pex", "b");

  // Only startup.pex, which is never swapped: the swap-out fails at once.
  piecesim::SetState(0, "capacity", "100");
  piecesim::PutFile(0, "startup.pex", std::string(80, 's'));
  platform.Answer(IDIGNORE);
  TransferFiles({a, b});
  EXPECT_EQ(Names{kSwapFailed}, platform.ShownTexts());
  EXPECT_EQ(kRetryStyle, platform.shown[0].style);
  EXPECT_TRUE(Calls({"ismPFFSRead"}).empty());
  EXPECT_EQ((Names{"startup.pex", "b.pex"}), piecesim::ListFiles(0));

  // Retry after a failed swap-out swaps again when there is something to swap.
  piecesim::ResetAll();
  piecesim::CreateDevice(0, 100);
  piecesim::PutFile(0, "old", std::string(30, 'o'));
  piecesim::PutFile(0, "old2", std::string(15, 'p'));
  LruList.clear();
  platform.shown.clear();
  piecesim::InjectFault("ismPFFSRead", 1, 5);
  platform.Answer(IDRETRY);
  TransferFiles({a});
  EXPECT_EQ(Names{kSwapFailed}, platform.ShownTexts());
  EXPECT_EQ(std::string(30, 'o'), Device("old"));    // its copy failed: it stays
  EXPECT_EQ(std::string(15, 'p'), Swapped("old2"));
  EXPECT_EQ(std::string(60, 'a'), Device("a.pex"));

  // A status other than 1005 or 1006 is a write failure, no swap-out.
  piecesim::ResetAll();
  piecesim::CreateDevice(0);
  piecesim::PutFile(0, "old", "o");
  platform.shown.clear();
  piecesim::InjectFault("ismPFFSWrite", 1, 7);
  TransferFiles({b});
  EXPECT_EQ(Names{kWriteFailed}, platform.ShownTexts());
  EXPECT_TRUE(Calls({"ismPFFSRead"}).empty());

  // 1006 counts as a full flash too.
  piecesim::ResetAll();
  piecesim::CreateDevice(0);
  piecesim::PutFile(0, "old", "o");
  platform.shown.clear();
  piecesim::InjectFault("ismPFFSWrite", 1, kPieceFlashFullAlt);
  TransferFiles({b});
  EXPECT_TRUE(platform.shown.empty());
  EXPECT_EQ("o", Swapped("old"));
  EXPECT_EQ("b", Device("b.pex"));
}

TEST_F(TransferTest, DeclinedOverwriteFailsTheSwapAndTheNameComesBackLater) {
  AppSettings.mode = true;
  piecesim::SetState(0, "capacity", "100");
  piecesim::PutFile(0, "d", std::string(60, 'd'));
  swap.Write("d", "kept");
  std::string n = Host("n", std::string(60, 'n'));
  platform.Answer(IDNO);       // overwrite d?
  platform.Answer(IDIGNORE);   // swapping failed
  TransferFiles({n});
  EXPECT_EQ((Names{swap.File("d") + "を上書きしてもよろしいですか？", kSwapFailed}),
            platform.ShownTexts());
  EXPECT_EQ("kept", Swapped("d"));
  EXPECT_EQ(std::string(60, 'd'), Device("d"));
  EXPECT_TRUE(LruList.empty());
  ASSERT_TRUE(ReconcileLruList());
  EXPECT_EQ(Names{"d"}, LruList);
}

TEST_F(TransferTest, SwapNeverCopiesOverTheFileBeingWritten) {
  // The user writes a.pex back from the swap folder while an older a.pex is
  // the least recently written file on the device; the folder setting may
  // spell the folder otherwise than the written path does.
  ASSERT_EQ(0, symlink(host.path().c_str(), swap.File("alias").c_str()));
  for (const std::string& folder : {host.path() + "/", host.path() + "/./", host.path() + "//",
                                    swap.path() + "/../" + host.path().substr(5) + "/",
                                    swap.File("alias") + "/"}) {
    piecesim::ResetAll();
    piecesim::CreateDevice(0, 100);
    LruList.clear();
    platform.shown.clear();
    AppSettings.mode = true;
    AppSettings.warnoverwr = false;
    AppSettings.folder = folder;
    piecesim::PutFile(0, "a.pex", std::string(50, 'o'));
    piecesim::PutFile(0, "b.pex", std::string(45, 'b'));
    std::string a = Host("a.pex", std::string(60, 'n'));
    TransferFiles({a});
    EXPECT_TRUE(platform.shown.empty()) << folder;
    std::string kept;
    ASSERT_TRUE(platform.ReadFileBytes(a, &kept));
    EXPECT_EQ(std::string(60, 'n'), kept) << folder;
    EXPECT_EQ(std::string(60, 'n'), Device("a.pex")) << folder;
    // b.pex made the room instead.
    std::string b;
    ASSERT_TRUE(platform.ReadFileBytes(host.File("b.pex"), &b)) << folder;
    EXPECT_EQ(std::string(45, 'b'), b);
    EXPECT_EQ((Names{"ismPFFSRead(b.pex, " + folder + "b.pex) = 0"}), Calls({"ismPFFSRead"})) << folder;
  }
}
