// Saving device files to a folder and backing up the whole device: the
// questions and failure boxes and what each answer leaves in the folder, and
// a backup's list that writes the device back as it was.
#include <gtest/gtest.h>

#include "filelist/file_list.h"
#include "readout/save_files.h"
#include "transfer/transfer.h"
#include "tests/support/fakes.h"

namespace {

class SaveTest : public SimTest {};

TEST_F(SaveTest, SavesWholeFilesOnlyAndAsksBeforeReplacing) {
  TempDir folder;
  const std::string question = "b.pexは既に存在します。上書きしてもよろしいですか？", failed = "ファイルの読み込みに失敗しました。";
  const struct {
    const char* what;
    std::deque<int> answers;
    int failingRead;   // the nth read fails once
    Strings boxes, left;
    size_t stopAfter = SIZE_MAX;   // steps shown before 中止
  } rows[] = {
      {"Yes replaces", {IDYES}, 0, {question}, {"a=a", "b=b", "c=c"}},
      {"No skips, and the end says so", {IDNO}, 0, {question, "3件中2件を保存しました。\nb.pex"}, {"a=a", "b=old", "c=c"}},
      {"Cancel ends", {IDCANCEL}, 0, {question}, {"a=a", "b=old"}},
      {"Retry reads again", {IDRETRY, IDYES}, 1, {failed, question}, {"a=a", "b=b", "c=c"}},
      {"Ignore skips", {IDIGNORE, IDYES}, 1, {failed, question, "3件中2件を保存しました。\na.pex"}, {"b=b", "c=c"}},
      {"Abort ends, the old file whole", {IDYES, IDABORT}, 2, {question, failed}, {"a=a", "b=old"}},
      {"中止 ends after the file in flight", {}, 0, {}, {"a=a", "b=old"}, 1},
  };
  for (const auto& r : rows) {
    Reset({"a.pex=a", "b.pex=b", "c.pex=c"});
    folder.Clear();
    folder.Write("b.pex", "old");
    if (r.failingRead) piecesim::InjectFault("ismPFFSRead", r.failingRead, 9);
    MemoryList list;
    ASSERT_TRUE(RefreshFileList(list));
    platform.answers = r.answers, platform.stopAfter = r.stopAfter, platform.progress.clear();
    TheOperations().Start(kinds::kRead, [&] { SaveToFolder(EntriesOf(list, {0, 1, 2}), folder.path() + "/"); });
    EXPECT_EQ(r.boxes, platform.Texts()) << r.what;
    Strings left;   // nothing else: no private file stays
    for (const std::string& name : folder.Entries()) left.push_back(name.substr(0, 1) + "=" + folder.Read(name));
    std::sort(left.begin(), left.end());
    EXPECT_EQ(r.left, left) << r.what;
  }
  EXPECT_EQ(static_cast<unsigned>(MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2), platform.shown[0].style);
}

TEST_F(SaveTest, ABackupWritesTheDeviceBack) {
  TempDir folder;
  // Every name a device can hold, a folder part and a trail byte 5C ("ソ")
  // included; capitals come back lowered, for the list's names are.
  const Strings names = {"startup.pex", "ゲーム.pex", "\x83\x5C.pex", "sub\\game.pex", "Upper.PEX", "x", "a;b#c.dat",
                         "\x87\x90.pex", std::string(27, 'n') + ".pex"};
  Strings files;
  for (const std::string& name : names) files.push_back(name + "=" + name);
  Reset(files);
  MemoryList list;
  ASSERT_TRUE(RefreshFileList(list));
  platform.answerer = [](const Box&) { return IDYES; };
  BackUpDevice(EntriesOf(list, {0, 1, 2, 3, 4, 5, 6, 7, 8}), folder.path() + "/");
  EXPECT_EQ(Strings{}, platform.Texts());
  ASSERT_NE("<missing>", folder.Read("backup.pfs"));

  Reset();
  platform.answerer = [](const Box&) { return IDYES; };   // startup.pex asks first
  TransferFiles({folder.File("backup.pfs")});
  for (const std::string& name : names) EXPECT_EQ(name, Device(name == "Upper.PEX" ? "upper.pex" : name)) << name;
  EXPECT_EQ(Strings{text::kStartupWrite}, platform.Texts());

  // A file skipped, or the old list kept, leaves no new list behind, and
  // says so once.
  for (const std::string there : {"x", "backup.pfs"}) {
    folder.Clear();
    folder.Write(there, "old");
    Reset({"x=new", "y=y"});
    ASSERT_TRUE(RefreshFileList(list));
    platform.answers = {IDNO};
    BackUpDevice(EntriesOf(list, {0, 1}), folder.path() + "/");
    EXPECT_EQ(there == "x" ? "<missing>" : "old", folder.Read("backup.pfs"));
    EXPECT_EQ((Strings{there + "は既に存在します。上書きしてもよろしいですか？", "バックアップを完了できませんでした。"}), platform.Texts());
  }
}

// Names that cannot be files in the folder are named in one box before
// anything is read: OK reads the others, Cancel nothing; a backup that left
// any out is not complete. Names are judged by their characters: the second
// bytes of ポ (83 7C) and ソ (83 5C) are '|' and '\\'.
TEST_F(SaveTest, NamesThatCannotBeFiles) {
  // The second of two names the host takes for one, whole or flat (the
  // drag's and the clipboard's copies), in any script.
  const struct { bool flat; Strings names; Strings reserved, refused; } placed[] = {
      {false, {"Save.dat", "save.dat", "sub/x.pex", "sub\\x.pex", "./y.pex", "y.pex", "\x83\x7C.pex", "\x83\x5C.pex"}, {},
       {"save.dat", "sub\\x.pex", "y.pex"}},
      {false, {"sub", "sub\\x.pex", "dir\\x.pex", "DIR", "a\\b\\c.pex", "a\\b"}, {}, {"sub\\x.pex", "DIR", "a\\b"}},   // a file where a folder must be
      {false, {"Backup.PFS", "a.pex"}, {"backup.pfs"}, {"Backup.PFS"}},
      {true, {"sub\\a.pex", "A.pex", "Ａ.pex", "ａ.pex", "Ω.pex", "ω.pex", "readme", "readme.", "..\\x"}, {},
       {"A.pex", "ａ.pex", "ω.pex", "readme.", "..\\x"}},
  };
  for (const auto& r : placed)
    EXPECT_EQ(r.refused, PlaceFiles(Entries(r.names), "/f/", r.flat, r.reserved).refused) << r.names[0];
  TempDir folder;
  const std::string box = "次のファイルはPCのファイル名にできません。";
  const struct { bool backup; int answer; Strings boxes, saved; } rows[] = {
      {false, IDOK, {box + "\nnul.sav\nq?x.dat"}, {"a.pex", "backup.pfs", "\x83\x5C.pex", "\x83\x7C.pex"}},
      {false, IDCANCEL, {box + "\nnul.sav\nq?x.dat"}, {}},
      {true, IDOK, {box + "\nbackup.pfs\nnul.sav\nq?x.dat", "バックアップを完了できませんでした。"},
       {"a.pex", "\x83\x5C.pex", "\x83\x7C.pex"}},
  };
  for (const auto& r : rows) {
    Reset({"a.pex=a", "nul.sav=n", "q?x.dat=q", "\x83\x7C.pex=p", "\x83\x5C.pex=s", "backup.pfs=list"});
    folder.Clear();
    MemoryList list;
    ASSERT_TRUE(RefreshFileList(list));
    platform.answers = {r.answer};
    (r.backup ? BackUpDevice : SaveToFolder)(EntriesOf(list, {0, 1, 2, 3, 4, 5}), folder.path() + "/");
    EXPECT_EQ(r.boxes, platform.Texts());
    EXPECT_EQ(static_cast<unsigned>(MB_OKCANCEL | MB_ICONEXCLAMATION), platform.shown[0].style);
    Strings saved;
    for (const std::string& name : folder.Entries()) {
      std::string device;
      EXPECT_TRUE(platform.DeviceText(name, &device) && Device(device) == folder.Read(name)) << name;
      saved.push_back(device);
    }
    std::sort(saved.begin(), saved.end());
    EXPECT_EQ(r.saved, saved);
  }
}

}  // namespace
