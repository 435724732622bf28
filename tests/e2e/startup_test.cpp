// Start-up and shut-down: the settings file read at start and written at
// exit, in its order and forms, and the window placed where it was.
#include "tests/e2e/quillet_fixture.h"

namespace e2e {
namespace {

TEST_F(QuilletTest, SettingsComeInAndGoOutInTheirOrder) {
  const std::string lru = "[lru]\r\ncount=3\r\nfile0=Startup.PEX\r\nfile1=GAME.PEX\r\nfile2=x.pex\r\nfile3=past.pex\r\n";
  WriteFile(IniPath(), "[position]\r\nleft=500\r\ntop=400\r\nright=210\r\nbottom=160\r\n[config]\r\nmode=2\r\n"
                       "folder=C:\\swap\\\r\nwarnoverwr=0\r\nopenfolder=-1\r\nbeep=7\r\n" + lru);
  ASSERT_TRUE(Start());
  RECT r{};
  GetWindowRect(main_, &r);   // a stored rectangle with its sides swapped is used in order
  EXPECT_EQ("210 160 500 400", std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
                                   std::to_string(r.bottom));
  ASSERT_TRUE(SetWindowPos(main_, nullptr, 230, 170, 300, 250, SWP_NOZORDER | SWP_NOACTIVATE));
  ASSERT_TRUE(WaitUntil([&] { return GetWindowRect(main_, &r) && r.left == 230; }));
  Key(VK_ESCAPE);   // the dialog manager turns it into cancel, which ends the program
  ASSERT_TRUE(WaitForSingleObject(process_.hProcess, kWaitMs) == WAIT_OBJECT_0);

  // Sections are written in the order of the writes; the LRU list less
  // startup.pex, lowered; keys past the count stay.
  EXPECT_EQ("[position]\r\nleft=230\r\ntop=170\r\nright=530\r\nbottom=420\r\n[config]\r\nmode=1\r\nfolder=C:\\swap\\\r\n"
            "warnoverwr=0\r\nopenfolder=1\r\nbeep=1\r\n[lru]\r\ncount=2\r\nfile0=game.pex\r\nfile1=x.pex\r\nfile2=x.pex\r\n"
            "file3=past.pex\r\n",
            IniText());

  DeleteFileA(IniPath().c_str());
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Close());   // a first start writes every key
  std::string ini = IniText();
  EXPECT_EQ(0u, ini.find("[position]\r\nleft="));
  // A new file is UTF-16 where the system's code page is not 932, else ANSI as always.
  EXPECT_EQ(GetACP() != 932, ReadFile(IniPath()).rfind("\xFF\xFE", 0) == 0);
  EXPECT_NE(std::string::npos, ini.find("[lru]\r\ncount=0\r\n[config]\r\nmode=0\r\nfolder=" + ProgramFolder() +
                                        "\r\nwarnoverwr=1\r\nopenfolder=1\r\nbeep=0\r\n"));
}

}  // namespace
}  // namespace e2e
