// Fills the real file list from a directory text that fills the whole
// 8192-byte buffer, and in the same run does a plain fill of the same item
// texts in their final order; prints both medians and their ratio.
//
//   refresh_bench.exe [rounds]     (default 20)
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/platform_win32.h"
#include "device/directory.h"
#include "filelist/file_list_box_win32.h"
#include "filelist/item_text.h"
#include "stand-ins/pieceif/simulator.h"
#include "tests/bench/bench_win32.h"

namespace {



// Entry lines in a scrambled order until the text nearly fills the buffer.
std::string FullDirectoryText() {
  std::string text;
  const std::string summary = "123456 bytes free\n";
  for (unsigned i = 0;; ++i) {
    char line[64];
    unsigned key = (i * 7919u) % 10007u;
    snprintf(line, sizeof line, "+%u:%u %s%05u.pex\n", i, 100 + key * 3,
             (i % 3 == 0) ? "Game" : "tool", key);
    if (text.size() + strlen(line) + summary.size() >= kDirTextSize) break;
    text += line;
  }
  return text + summary;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? atoi(argv[1]) : 20;
  if (rounds < 1) rounds = 1;
  SetPlatform(&TheWin32Platform());

  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string home = std::string(temp) + "quillet-refresh-bench";
  piecesim::SetHome(home);
  _putenv(("PIECE_SIM_HOME=" + home).c_str());   // the library reads it with getenv
  piecesim::ResetAll();
  piecesim::CreateDevice(0);
  // The calls go to the simulator in this process, as in the unit tests:
  // the figure is the list's own work, not the library's.
  piecesim::AnswerInProcess();
  std::string text = FullDirectoryText();
  piecesim::SetDirText(0, text);

  HWND frame = CreateWindowExA(0, "STATIC", "Quillet", WS_OVERLAPPEDWINDOW, 0, 0, 300, 600,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  HWND box = CreateWindowExA(WS_EX_ACCEPTFILES, "LISTBOX", "",
                             WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY |
                                 LBS_NOINTEGRALHEIGHT | LBS_EXTENDEDSEL,
                             0, 0, 280, 560, frame, reinterpret_cast<HMENU>(1000),
                             GetModuleHandleA(nullptr), nullptr);
  HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                           FIXED_PITCH, "ＭＳ 明朝");
  SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  ShowWindow(frame, SW_SHOW);

  FileListBox list;
  list.Attach(box);

  // The item texts in their final order, for the plain fill.
  DirListing listing;
  listing.Parse(text.data(), text.size());
  std::vector<DirEntry> sorted = listing.entries;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const DirEntry& a, const DirEntry& b) { return NameGreater(b.name, a.name); });
  std::vector<std::string> texts;
  for (const DirEntry& e : sorted) texts.push_back(ItemText(e));

  std::vector<double> refresh, plain, read;
  for (int r = 0; r < rounds; ++r) {
    double t0 = Now();
    if (!list.RefreshFileList()) {
      fprintf(stderr, "refresh failed\n");
      return 1;
    }
    double t1 = Now();
    SendMessageA(box, LB_RESETCONTENT, 0, 0);
    SendMessageA(box, WM_SETREDRAW, FALSE, 0);
    for (const std::string& t : texts)
      SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t.c_str()));
    SendMessageA(box, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(box, nullptr, TRUE);
    double t2 = Now();
    DirListing alone;
    alone.ReadDirectory();
    double t3 = Now();
    refresh.push_back(t1 - t0);
    plain.push_back(t2 - t1);
    read.push_back(t3 - t2);
  }
  int count = static_cast<int>(SendMessageA(box, LB_GETCOUNT, 0, 0));
  double a = Median(refresh), b = Median(plain), c = Median(read);
  printf("directory text: %u bytes, %d entries, %d rounds\n", static_cast<unsigned>(text.size()),
         count, rounds);
  printf("RefreshFileList      %8.3f ms (of which the directory read alone %.3f ms)\n", a * 1e3, c * 1e3);
  printf("plain fill           %8.3f ms\n", b * 1e3);
  printf("ratio                %8.2f\n", a / b);
  piecesim::ResetAll();
  DestroyWindow(frame);
  return 0;
}
