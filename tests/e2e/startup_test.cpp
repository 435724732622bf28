// Start-up and shut-down of the real program: what reaches the settings file
// at exit, in which order, and that every way of closing saves.
#include <stdio.h>

#include "tests/e2e/quillet_fixture.h"

namespace e2e {
namespace {

using Keys = std::vector<std::string>;

class StartupTest : public QuilletTest {
 protected:
  // Starts the program, waits for its window, lets close() end it and
  // waits for the process to go.
  void RunAndClose(const std::function<void()>& close) {
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(WaitMainWindow()) << "no main window";
    close();
    ASSERT_TRUE(WaitExit()) << "the program did not end";
  }
  void RunAndClose() { RunAndClose([this] { Close(); }); }
};

TEST_F(StartupTest, FirstStartWritesPositionThenLruThenConfig) {
  RunAndClose();

  EXPECT_EQ(IniSections(), (Keys{"position", "lru", "config"}));
  EXPECT_EQ(IniKeys("position"), (Keys{"left", "top", "right", "bottom"}));
  EXPECT_EQ(IniKeys("lru"), (Keys{"count"}));
  EXPECT_EQ(IniKeys("config"),
            (Keys{"mode", "folder", "warnoverwr", "openfolder", "beep"}));

  EXPECT_EQ(IniValue("lru", "count"), "0");
  EXPECT_EQ(IniValue("config", "mode"), "0");
  EXPECT_EQ(IniValue("config", "folder"), ProgramFolder());
  EXPECT_EQ(IniValue("config", "warnoverwr"), "1");
  EXPECT_EQ(IniValue("config", "openfolder"), "1");
  EXPECT_EQ(IniValue("config", "beep"), "0");

  int left = atoi(IniValue("position", "left").c_str());
  int top = atoi(IniValue("position", "top").c_str());
  int right = atoi(IniValue("position", "right").c_str());
  int bottom = atoi(IniValue("position", "bottom").c_str());
  EXPECT_LT(left, right);
  EXPECT_LT(top, bottom);
}

TEST_F(StartupTest, SettingsComeBackAsBooleansAndKeepTheirValues) {
  WriteIni(
      "[config]\r\nmode=2\r\nfolder=C:\\swap\\\r\nwarnoverwr=0\r\n"
      "openfolder=-1\r\nbeep=7\r\n");
  RunAndClose();

  EXPECT_EQ(IniValue("config", "mode"), "1");
  EXPECT_EQ(IniValue("config", "folder"), "C:\\swap\\");
  EXPECT_EQ(IniValue("config", "warnoverwr"), "0");
  EXPECT_EQ(IniValue("config", "openfolder"), "1");
  EXPECT_EQ(IniValue("config", "beep"), "1");
}

TEST_F(StartupTest, EmptyFolderStaysEmpty) {
  WriteIni("[config]\r\nfolder=\r\n");
  RunAndClose();
  EXPECT_EQ(IniValue("config", "folder", "(missing)"), "");
}

TEST_F(StartupTest, LruListOf300NamesLoadsTheFirst256) {
  std::string text = "[lru]\r\ncount=300\r\n";
  char line[64];
  for (int i = 0; i < 300; ++i) {
    snprintf(line, sizeof line, "file%d=f%03d.pex\r\n", i, i);
    text += line;
  }
  WriteIni(text);
  RunAndClose();

  EXPECT_EQ(IniValue("lru", "count"), "256");
  EXPECT_EQ(IniValue("lru", "file0"), "f000.pex");
  EXPECT_EQ(IniValue("lru", "file128"), "f128.pex");
  EXPECT_EQ(IniValue("lru", "file255"), "f255.pex");
  // Keys past the count are left as they were, never removed.
  EXPECT_EQ(IniValue("lru", "file299"), "f299.pex");
}

TEST_F(StartupTest, LruNamesAreLoweredAndStartupIsDropped) {
  WriteIni(
      "[lru]\r\ncount=4\r\nfile0=Startup.PEX\r\nfile1=GAME.PEX\r\n"
      "file2=\r\nfile3=b.pex\r\n");
  RunAndClose();

  EXPECT_EQ(IniValue("lru", "count"), "2");
  EXPECT_EQ(IniValue("lru", "file0"), "game.pex");
  EXPECT_EQ(IniValue("lru", "file1"), "b.pex");
}

TEST_F(StartupTest, NegativeLruCountLoadsNothing) {
  WriteIni("[lru]\r\ncount=-3\r\nfile0=a.pex\r\n");
  RunAndClose();
  EXPECT_EQ(IniValue("lru", "count"), "0");
}

// Every way of closing the window saves all three sections.
class CloseWayTest : public StartupTest,
                     public ::testing::WithParamInterface<const char*> {
 protected:
  void CloseBy(const std::string& way) {
    if (way == "EscapeKey")
      PressKey(VK_ESCAPE);  // the dialog manager turns it into cancel
    else if (way == "CancelCommand")
      PostCommand(IDCANCEL);
    else if (way == "CloseBox")
      SysCommand(SC_CLOSE);
    else
      Close();
  }
};

TEST_P(CloseWayTest, Saves) {
  RunAndClose([this] { CloseBy(GetParam()); });
  EXPECT_EQ(IniSections(), (Keys{"position", "lru", "config"}));
  EXPECT_EQ(IniKeys("position").size(), 4u);
  EXPECT_EQ(IniKeys("config").size(), 5u);
}

INSTANTIATE_TEST_SUITE_P(AllWays, CloseWayTest,
                         ::testing::Values("EscapeKey", "CancelCommand",
                                           "CloseBox", "CloseMessage"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param);
                         });

}  // namespace
}  // namespace e2e
