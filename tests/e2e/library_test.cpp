// The vendor library in the forms a 32-bit compiler gives it, beside the
// program: one flow that makes all 13 calls on each (the start-up listing,
// F5 with the beep, Enter on a .pex, a Ctrl+drag read-out onto a drop target
// of the test's own, Delete, a second start's file), and the library that
// cannot be used, which is said in one box before anything is touched.
#include "tests/e2e/quillet_fixture.h"

#include <set>

namespace e2e {
namespace {

// The clipboard's Unicode text, as code page 932.
std::string ClipboardText(HWND owner) {
  std::string text = "<none>";
  if (!OpenClipboard(owner)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    text = Cp932(static_cast<const wchar_t*>(GlobalLock(data)));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

// A folder under the program's holding a copy of the program.
std::string ProgramCopy(const std::string& form) {
  const std::string folder = ProgramFolder() + "forms\\" + form + "\\";
  CreateDirectoryW(Wide(folder).c_str(), nullptr);
  CopyFileW(Wide(ProgramFolder() + "Quillet.exe").c_str(), Wide(folder + "Quillet.exe").c_str(), FALSE);
  return folder;
}

TEST_F(QuilletTest, EachFormOfTheLibrary) {
  // "": __stdcall under plain names, beside the program itself.
  // The report names ismPFFSDelete's export as it was found (a 64-bit
  // compiler decorates no sizes).
  const char* decorated = sizeof(void*) == 4 ? "_ismPFFSDelete@4" : "_ismPFFSDelete";
  const struct { const char *form, *box, *exported; } forms[] = {
      {"", nullptr, "ismPFFSDelete"}, {"cdecl", nullptr, "ismPFFSDelete"}, {"decorated", nullptr, decorated},
      {"none", "pieceif.dll を読み込めません。", ""}, {"incomplete", "pieceif.dll に ismPFFSDelete がありません。", ""}};
  for (const auto& f : forms) {
    SCOPED_TRACE(std::string("form ") + f.form);
    const std::string folder = *f.form ? ProgramCopy(f.form) : ProgramFolder();
    piecesim::ResetAll();
    piecesim::CreateDevice(0);
    // 81 E0 and 87 90 both show as "≒": each item stays its own file.
    for (const char* name : {"a.txt", "b.txt", "game.pex", "ゲーム.pex", "\x81\xE0.pex", "\x87\x90.pex"})
      piecesim::PutFile(0, name, name);
    WriteFile(IniPath(), "[config]\r\nbeep=1\r\n");
    if (f.box) {   // one box without an owner, exit code 1, nothing touched
      process_ = Launch("", folder);
      HWND box = Box(f.box);
      ASSERT_TRUE(box);
      EXPECT_EQ("Quillet", Text(box));
      EXPECT_EQ(nullptr, GetWindow(box, GW_OWNER));
      ASSERT_TRUE(Answer(box, IDOK));
      DWORD code = 0;
      EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process_.hProcess, kWaitMs));
      EXPECT_TRUE(GetExitCodeProcess(process_.hProcess, &code) && code == 1) << code;
      EXPECT_EQ("[config]\r\nbeep=1\r\n", ReadFile(IniPath()));
      EXPECT_EQ(Strings{}, piecesim::CallLog());
      TearDown();
      continue;
    }
    WriteFile(home_ + "\\new.pex", "new");
    ASSERT_TRUE(Start("", folder));
    Key(VK_F5);
    EXPECT_TRUE(WaitUntil([] { return piecesim::GetState(0, "plays") == "1" && piecesim::GetState(0, "paused") == "0"; }))
        << "the beep";
    SendMessageW(List(), LB_SETCARETINDEX, 2, FALSE);
    Key(VK_RETURN);
    EXPECT_TRUE(WaitUntil([] { return piecesim::Runs(0) == Strings{"game.pex"}; }));
    EXPECT_EQ((Strings{"a.txt=a.txt", "ゲーム.pex=ゲーム.pex", "\x81\xE0.pex=\x87\x90.pex"}), DragOut({0, 4, 5}));
    EXPECT_EQ((Strings{"*     5 a.txt", "     5 b.txt", "     8 game.pex", "     6 \x81\xE0.pex", "*    10 ゲーム.pex",
                       "*     6 \x81\xE0.pex"}), Items()) << "the selection stays";
    Key(VK_DELETE);
    ASSERT_TRUE(Answer(Box(text::kDeleteMany), IDYES));
    EXPECT_TRUE(Ends(Launch("\"" + home_ + "\\new.pex\"", folder)));
    EXPECT_TRUE(WaitItems({"     5 b.txt", "     8 game.pex", "*     3 new.pex", "     6 \x81\xE0.pex"}));
    EXPECT_TRUE(piecesim::HasFile(0, "\x81\xE0.pex")) << "the look-alike kept";
    // The report: the library as bound, the device as it said it was, and
    // the calls, the hand-over's write and listing last.
    SendMessageW(main_, WM_SYSCOMMAND, 102, 0);
    const std::string report = ClipboardText(main_);
    for (const std::string& part :
         {"\r\npath: " + folder + "pieceif.dll\r\n", std::string("\r\nismPFFSDelete: ") + f.exported + "\r\n",
          std::string("\r\nsimulated: yes\r\n"), " ismPFFSWrite(\"new.pex\", \"" + home_ + "\\new.pex\") = 0 (",
          std::string(" ismPFFSDir(")})
      EXPECT_NE(std::string::npos, report.find(part)) << part << "\n" << report;
    const std::string last = report.substr(report.rfind("\r\n", report.size() - 3) + 2);
    EXPECT_NE(std::string::npos, last.find(" ismExit() = 0 (")) << "the last call, with its status and time: " << last;
    ASSERT_TRUE(Close());
    std::set<std::string> called, failed;
    for (const std::string& line : piecesim::CallLog()) {
      called.insert(line.substr(0, line.find('(')));
      if (line.substr(line.rfind(" = ")) != " = 0") failed.insert(line);
    }
    EXPECT_EQ(13u, called.size());
    EXPECT_EQ(std::set<std::string>{}, failed);
  }
}

}  // namespace
}  // namespace e2e
