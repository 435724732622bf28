// The main window and its file list on the simulated device: order and texts
// of the items, the title, the keys, the tray, the position and the about box.
#include <stdio.h>

#include "stand-ins/pieceif/simulator.h"
#include "tests/e2e/quillet_fixture.h"

namespace e2e {
namespace {

using Items = std::vector<std::string>;

const char kListFailed[] = "ファイルリストの取得に失敗しました。";
const char kCannotConnect[] = "P/ECEに接続できません。";
const char kGame[] = "ゲーム.pex";  // CP932 bytes at run time

std::string Item(int size, const std::string& name) {
  char text[128];
  snprintf(text, sizeof text, "%6d %s", size, name.c_str());
  return text;
}

class FileListTest : public QuilletTest {
 protected:
  void Put(int device, const std::string& name, int size) {
    piecesim::PutFile(device, name, std::string(size, 'x'));
  }
  // Starts the program and waits until its window shows `items`.
  void Start(const Items& items) {
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(WaitMainWindow()) << "no main window";
    ASSERT_TRUE(WaitListItems(items)) << ::testing::PrintToString(ListItems());
  }
  void CloseAndWait() {
    Close();
    EXPECT_TRUE(WaitExit()) << "the program did not end";
  }
  static std::string StatusOf(int device) {
    int used = 0;
    for (const std::string& name : piecesim::ListFiles(device)) {
      std::string bytes;
      piecesim::GetFile(device, name, &bytes);
      used += static_cast<int>(bytes.size());
    }
    return std::to_string(atoi(piecesim::GetState(device, "capacity").c_str()) - used) +
           " bytes free";
  }
  static bool Has(const std::vector<std::string>& lines, const std::string& line) {
    for (const std::string& l : lines)
      if (l.compare(0, line.size(), line) == 0) return true;
    return false;
  }
};

TEST_F(FileListTest, ShowsTheFilesInTheirFixedOrderWithSizesAndTheStatus) {
  Put(0, "b.pex", 10);
  Put(0, kGame, 2048);
  Put(0, "startup.pex", 1234);
  Put(0, "A.pex", 3);
  Put(0, "a.pex", 123456);
  Put(0, "1.dat", 67);

  Start({Item(1234, "startup.pex"), Item(67, "1.dat"), Item(3, "A.pex"),
         Item(123456, "a.pex"), Item(10, "b.pex"), Item(2048, kGame)});
  EXPECT_EQ(Title(), "Quillet - " + StatusOf(0));
  EXPECT_TRUE(SelectedIndexes().empty());
  EXPECT_TRUE(MessageBoxes().empty());
  CloseAndWait();
}

TEST_F(FileListTest, OnlyTheExactStartupNameGoesFirstAndTheStatusIsTrimmed) {
  piecesim::SetDirText(0,
                       "+0:5 b.pex\r\n+1:7 STARTUP.PEX\r\n+2:9 a.pex\r\n"
                       "+3:1234567 big.bin\r\n  fifty words left \r\n");
  Start({Item(7, "STARTUP.PEX"), Item(9, "a.pex"), Item(5, "b.pex"),
         Item(1234567, "big.bin")});
  EXPECT_EQ(Title(), "Quillet - fifty words left");
  CloseAndWait();
}

TEST_F(FileListTest, F5ReadsTheListAgain) {
  Put(0, "a.pex", 1);
  Start({Item(1, "a.pex")});
  Put(0, "new.pex", 22);
  PressKey(VK_F5);
  EXPECT_TRUE(WaitListItems({Item(1, "a.pex"), Item(22, "new.pex")}))
      << ::testing::PrintToString(ListItems());
  EXPECT_EQ(Title(), "Quillet - " + StatusOf(0));
  EXPECT_TRUE(MessageBoxes().empty());
  CloseAndWait();
}

TEST_F(FileListTest, F5WithTheDeviceGoneEmptiesTheListAndSaysSo) {
  Put(0, "a.pex", 1);
  Start({Item(1, "a.pex")});
  piecesim::RemoveDevice(0);
  PressKey(VK_F5);
  HWND box = WaitBox(kListFailed);
  ASSERT_TRUE(box) << "no message box";
  EXPECT_EQ(WindowText(box), "Quillet");
  EXPECT_TRUE(ListItems().empty());
  EXPECT_EQ(Title(), "Quillet");
  EXPECT_TRUE(Answer(box, IDOK));
  CloseAndWait();
}

TEST_F(FileListTest, DelAnsweredYesDeletesTheSelectedFiles) {
  Put(0, "a.pex", 1);
  Put(0, "b.pex", 2);
  Put(0, "c.pex", 3);
  Start({Item(1, "a.pex"), Item(2, "b.pex"), Item(3, "c.pex")});
  SelectItem(0);
  SelectItem(2);
  PressKey(VK_DELETE);
  HWND box = WaitBox("これらのファイルを削除してもよろしいですか？");
  ASSERT_TRUE(box) << "no question";
  ASSERT_TRUE(Answer(box, IDYES));
  EXPECT_TRUE(WaitListItems({Item(2, "b.pex")}))
      << ::testing::PrintToString(ListItems());
  EXPECT_EQ(piecesim::ListFiles(0), (Items{"b.pex"}));
  EXPECT_EQ(Title(), "Quillet - " + StatusOf(0));
  CloseAndWait();
}

TEST_F(FileListTest, DelAnsweredNoChangesNothing) {
  Put(0, "a.pex", 1);
  Put(0, "b.pex", 2);
  Start({Item(1, "a.pex"), Item(2, "b.pex")});
  SelectItem(1);
  piecesim::ClearCallLog();
  PressKey(VK_DELETE);
  HWND box = WaitBox("ファイルを削除してもよろしいですか？");
  ASSERT_TRUE(box) << "no question";
  ASSERT_TRUE(Answer(box, IDNO));
  Quiesce();
  EXPECT_EQ(piecesim::ListFiles(0), (Items{"a.pex", "b.pex"}));
  EXPECT_TRUE(CallLog().empty()) << ::testing::PrintToString(CallLog());
  EXPECT_EQ(SelectedIndexes(), (std::vector<int>{1}));  // no refresh
  CloseAndWait();
}

TEST_F(FileListTest, F6CyclesThroughTwoDevicesAndBack) {
  piecesim::CreateDevice(1);
  Put(0, "zero.pex", 10);
  Put(1, "one.pex", 11);
  Start({Item(10, "zero.pex")});

  piecesim::ClearCallLog();
  PressKey(VK_F6);
  EXPECT_TRUE(WaitListItems({Item(11, "one.pex")}))
      << ::testing::PrintToString(ListItems());
  EXPECT_TRUE(Has(CallLog(), "ismInitEx(1, 0)")) << ::testing::PrintToString(CallLog());
  EXPECT_EQ(Title(), "Quillet - " + StatusOf(1));

  // No device 2: the connection falls back to device 0.
  piecesim::ClearCallLog();
  PressKey(VK_F6);
  EXPECT_TRUE(WaitListItems({Item(10, "zero.pex")}))
      << ::testing::PrintToString(ListItems());
  EXPECT_TRUE(Has(CallLog(), "ismInitEx(2, 0)")) << ::testing::PrintToString(CallLog());
  EXPECT_TRUE(Has(CallLog(), "ismInitEx(0, 0)")) << ::testing::PrintToString(CallLog());
  EXPECT_TRUE(MessageBoxes().empty());
  CloseAndWait();
}

TEST_F(FileListTest, F6WithNoDeviceSaysSoAndLeavesTheList) {
  Put(0, "a.pex", 1);
  Start({Item(1, "a.pex")});
  std::string title = Title();
  piecesim::RemoveDevice(0);
  PressKey(VK_F6);
  HWND box = WaitBox(kCannotConnect);
  ASSERT_TRUE(box) << "no message box";
  EXPECT_TRUE(Answer(box, IDOK));
  Quiesce();
  EXPECT_EQ(ListItems(), (Items{Item(1, "a.pex")}));
  EXPECT_EQ(Title(), title);
  EXPECT_TRUE(MessageBoxes().empty());
  CloseAndWait();
}

TEST_F(FileListTest, StartWithoutADeviceSaysSoAndOpensEmpty) {
  piecesim::RemoveDevice(0);
  ASSERT_TRUE(Launch());
  HWND box = WaitBox(kListFailed);
  ASSERT_TRUE(box) << "no message box";
  EXPECT_TRUE(Answer(box, IDOK));
  ASSERT_TRUE(WaitMainWindow());
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(Main()) != FALSE; }));
  EXPECT_TRUE(ListItems().empty());
  EXPECT_EQ(Title(), "Quillet");
  CloseAndWait();
}

TEST_F(FileListTest, MinimiseHidesInTheTrayAndDoubleClickBringsBackAFreshList) {
  Put(0, "a.pex", 1);
  Start({Item(1, "a.pex")});
  SysCommand(SC_MINIMIZE);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(Main()); }))
      << "still visible";
  EXPECT_FALSE(IsIconic(Main()));

  Put(0, "b.pex", 2);
  TrayNotify(WM_LBUTTONDBLCLK);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(Main()) != FALSE; }))
      << "not shown again";
  EXPECT_FALSE(IsIconic(Main()));
  EXPECT_TRUE(WaitListItems({Item(1, "a.pex"), Item(2, "b.pex")}))
      << ::testing::PrintToString(ListItems());
  CloseAndWait();
  // Hidden or not, the window's normal rectangle is what was saved.
  EXPECT_LT(atoi(IniValue("position", "left").c_str()),
            atoi(IniValue("position", "right").c_str()));
}

TEST_F(FileListTest, TrayDoubleClickWithoutADeviceShowsAnEmptyListQuietly) {
  Put(0, "a.pex", 1);
  Start({Item(1, "a.pex")});
  SysCommand(SC_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(Main()); }));
  piecesim::RemoveDevice(0);
  TrayNotify(WM_LBUTTONDBLCLK);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(Main()) != FALSE; }));
  EXPECT_TRUE(WaitUntil([&] { return ListItems().empty(); }));
  EXPECT_TRUE(WaitTitle("Quillet"));
  Quiesce();
  EXPECT_TRUE(MessageBoxes().empty());
  CloseAndWait();
}

TEST_F(FileListTest, PositionSurvivesARestart) {
  Start({});
  ASSERT_TRUE(SetWindowPos(Main(), nullptr, 210, 160, 330, 290,
                           SWP_NOZORDER | SWP_NOACTIVATE));
  RECT moved{};
  ASSERT_TRUE(WaitUntil([&] {
    GetWindowRect(Main(), &moved);
    return moved.left == 210 && moved.top == 160;
  }));
  CloseAndWait();
  EXPECT_EQ(IniValue("position", "left"), "210");
  EXPECT_EQ(IniValue("position", "top"), "160");
  EXPECT_EQ(IniValue("position", "right"), "540");
  EXPECT_EQ(IniValue("position", "bottom"), "450");

  TearDown();  // the first run's handles
  Start({});
  RECT restored{};
  GetWindowRect(Main(), &restored);
  EXPECT_EQ(restored.left, 210);
  EXPECT_EQ(restored.top, 160);
  EXPECT_EQ(restored.right, 540);
  EXPECT_EQ(restored.bottom, 450);
  CloseAndWait();
}

TEST_F(FileListTest, StoredPositionWithSidesSwappedIsPutInOrder) {
  WriteIni("[position]\r\nleft=500\r\ntop=400\r\nright=200\r\nbottom=150\r\n");
  Start({});
  RECT rect{};
  GetWindowRect(Main(), &rect);
  EXPECT_EQ(rect.left, 200);
  EXPECT_EQ(rect.top, 150);
  EXPECT_EQ(rect.right, 500);
  EXPECT_EQ(rect.bottom, 400);
  CloseAndWait();
}

TEST_F(FileListTest, StoredPositionOffTheWorkAreaIsNotUsed) {
  RECT work{};
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
  // Touches the work area's left edge only: not one pixel of overlap.
  char text[200];
  snprintf(text, sizeof text,
           "[position]\r\nleft=%ld\r\ntop=100\r\nright=%ld\r\nbottom=300\r\n",
           static_cast<long>(work.left - 300), static_cast<long>(work.left));
  WriteIni(text);
  Start({});
  RECT rect{};
  GetWindowRect(Main(), &rect);
  EXPECT_GT(rect.right, work.left);
  EXPECT_NE(rect.left, work.left - 300);
  CloseAndWait();
}

TEST_F(FileListTest, AboutBoxShowsItsTenLines) {
  Start({});
  SysCommand(101);
  HWND box = WaitBox([](const std::string& text) {
    return text.compare(0, 8, "Quillet ") == 0;
  });
  ASSERT_TRUE(box) << "no about box";
  EXPECT_EQ(WindowText(box), "Quillet");
  std::vector<std::string> lines;
  std::string text = BoxText(box);
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  lines.push_back(text.substr(start));
  ASSERT_EQ(lines.size(), 10u) << text;
  EXPECT_GT(lines[0].size(), 8u);  // a version code follows the name
  EXPECT_FALSE(lines[1].empty());
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], "書込：Explorerからドラッグ&ドロップ");
  EXPECT_EQ(lines[4], "読込：選択済みアイテムの上でCtrlを押しながらExplorerへドラッグ&ドロップ");
  EXPECT_EQ(lines[5], "削除：ファイルを選んでDELキー");
  EXPECT_EQ(lines[6], "実行：pexファイルアイテムをダブルクリック");
  EXPECT_EQ(lines[7], "更新：F5キーで最新情報に更新");
  EXPECT_EQ(lines[8], "切替：F6キーで複数台接続されたP/ECEを選択");
  EXPECT_EQ(lines[9], "ポーズ: Pause/Breakキーを押す");
  EXPECT_TRUE(Answer(box, IDOK));
  EXPECT_TRUE(IsWindowVisible(Main()));
  CloseAndWait();
}

}  // namespace
}  // namespace e2e
