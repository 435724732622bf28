// The vendor library in the forms a 32-bit compiler gives it, beside the
// program: one flow that makes all 13 calls on each, and the library that
// cannot be used, which is said in one box before anything is touched.
#include "tests/e2e/quillet_fixture.h"

#include <set>

namespace e2e {
namespace {

// A folder under the program's holding a copy of the program.
std::string ProgramCopy(const std::string& form) {
  const std::string folder = ProgramFolder() + "forms\\" + form + "\\";
  CreateDirectoryW(Wide(folder).c_str(), nullptr);
  CopyFileW(Wide(ProgramFolder() + "Quillet.exe").c_str(), Wide(folder + "Quillet.exe").c_str(), FALSE);
  return folder;
}

TEST_F(QuilletTest, EachFormOfTheLibraryTakesEveryCall) {
  // "": __stdcall under plain names, beside the program itself.
  for (const std::string form : {"", "cdecl", "decorated"}) {
    SCOPED_TRACE("form " + form);
    const std::string folder = form.empty() ? ProgramFolder() : ProgramCopy(form);
    piecesim::ResetAll();
    piecesim::CreateDevice(0);
    for (const char* name : {"a.txt", "b.txt", "game.pex"}) piecesim::PutFile(0, name, name);
    WriteFile(IniPath(), "[config]\r\nbeep=1\r\n");
    WriteFile(home_ + "\\new.pex", "new");
    ASSERT_TRUE(Start("", folder));
    Key(VK_F5);
    EXPECT_TRUE(WaitUntil([] { return piecesim::GetState(0, "plays") == "1" && piecesim::GetState(0, "paused") == "0"; }))
        << "the beep";
    SendMessageW(List(), LB_SETCARETINDEX, 2, FALSE);
    Key(VK_RETURN);
    EXPECT_TRUE(WaitUntil([] { return piecesim::Runs(0) == Strings{"game.pex"}; }));
    EXPECT_EQ(Strings{"a.txt=a.txt"}, DragOut({0}));
    SendMessageW(List(), LB_SETSEL, FALSE, -1);
    SendMessageW(List(), LB_SETSEL, TRUE, 1);
    Key(VK_DELETE);
    ASSERT_TRUE(Answer(Box("ファイルを削除してもよろしいですか？"), IDYES));
    PROCESS_INFORMATION second = Launch("\"" + home_ + "\\new.pex\"", folder);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(second.hProcess, kWaitMs));
    CloseHandle(second.hProcess), CloseHandle(second.hThread);
    EXPECT_TRUE(WaitItems({"     5 a.txt", "     8 game.pex", "*     3 new.pex"}));
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

TEST_F(QuilletTest, ALibraryThatCannotBeUsedIsSaidAndNothingTouched) {
  const struct { const char *form, *box; } rows[] = {
      {"none", "pieceif.dll を読み込めません。"},
      {"incomplete", "pieceif.dll に ismPFFSDelete がありません。"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.form);
    process_ = Launch("", ProgramCopy(r.form));
    HWND box = Box(r.box);
    ASSERT_TRUE(box);
    EXPECT_EQ("Quillet", Text(box));
    EXPECT_EQ(nullptr, GetWindow(box, GW_OWNER));
    ASSERT_TRUE(Answer(box, IDOK));
    DWORD code = 0;
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process_.hProcess, kWaitMs));
    EXPECT_TRUE(GetExitCodeProcess(process_.hProcess, &code) && code == 1) << code;
    EXPECT_EQ("<missing>", ReadFile(IniPath()));
    EXPECT_EQ(Strings{}, piecesim::CallLog());
    TearDown();
  }
}

}  // namespace
}  // namespace e2e
