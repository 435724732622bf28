// The file list window: its items, title and keys over two devices, delete,
// the tray and the about box.
#include "tests/e2e/quillet_fixture.h"

namespace e2e {
namespace {

TEST_F(QuilletTest, ListWithItsKeysTrayAndAbout) {
  piecesim::CreateDevice(1);
  for (const char* name : {"b.pex", "ゲーム.pex", "startup.pex", "A.pex"}) piecesim::PutFile(0, name, std::string(12, 'x'));
  piecesim::PutFile(1, "one.pex", "1");
  ASSERT_TRUE(Start());
  EXPECT_EQ((Strings{"    12 startup.pex", "    12 A.pex", "    12 b.pex", "    12 ゲーム.pex"}), Items());
  EXPECT_EQ("Quillet - 262096 bytes free", Title());   // the device's status

  piecesim::PutFile(0, "c.pex", "cc");
  Key(VK_F5);
  EXPECT_TRUE(WaitUntil([&] { return Items().size() == 5 && Title() == "Quillet - 262094 bytes free"; }));
  Key(VK_F6);
  EXPECT_TRUE(WaitItems({"     1 one.pex"}));
  EXPECT_EQ("Quillet - 262143 bytes free", Title());
  Key(VK_F6);   // no device 2: back to device 0
  EXPECT_TRUE(WaitUntil([&] { return Items().size() == 5; }));

  SendMessageW(List(), LB_SETSEL, TRUE, 1);
  SendMessageW(List(), LB_SETSEL, TRUE, 3);
  Key(VK_DELETE);
  ASSERT_TRUE(Answer(Box(text::kDeleteMany), IDYES));
  EXPECT_TRUE(WaitItems({"    12 startup.pex", "    12 b.pex", "    12 ゲーム.pex"}));
  EXPECT_EQ((Strings{"b.pex", "ゲーム.pex", "startup.pex"}), piecesim::ListFiles(0));

  PostMessageW(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main_) && !IsIconic(main_); })) << "hidden in the tray";
  piecesim::PutFile(0, "d.pex", "d");
  PostMessageW(main_, WM_APP + 100, 1, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) && Title() == "Quillet - 262107 bytes free"; })) << "back with a fresh list";

  PostMessageW(main_, WM_SYSCOMMAND, 101, 0);
  HWND about = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    about = FindDialog(process_.dwProcessId, 0xFFFF, 0);
    return about && Text(GetDlgItem(about, 0xFFFF)).compare(0, 8, "Quillet ") == 0;
  }));
  std::string lines = Text(GetDlgItem(about, 0xFFFF));
  EXPECT_EQ("\n\n書込：Explorerからドラッグ&ドロップ\n読込：選択済みアイテムの上でCtrlを押しながらExplorerへドラッグ&ドロップ\n"
            "削除：ファイルを選んでDELキー\n実行：pexファイルアイテムをダブルクリック\n更新：F5キーで最新情報に更新\n"
            "切替：F6キーで複数台接続されたP/ECEを選択\nポーズ: Pause/Breakキーを押す",
            lines.substr(lines.find('\n', lines.find('\n') + 1)));
  EXPECT_EQ("Quillet", Text(about));
  ASSERT_TRUE(Answer(about, IDOK));
  EXPECT_TRUE(Close());
}

}  // namespace
}  // namespace e2e
