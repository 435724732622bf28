// How the window answers while a slow device writes: starts Quillet.exe on
// a simulated P/ECE that moves 64 KB a second, hands it a 512 KB file from a
// second start (about 8 s of writing), and meanwhile sends the window
// WM_NULL every 50 ms from this process, as the system does to tell a hung
// window; prints the longest wait for an answer.
//
//   ping_bench.exe
#include <windows.h>
#include <stdio.h>

#include <string>

#include "stand-ins/pieceif/simulator.h"
#include "tests/bench/bench_win32.h"

namespace {


PROCESS_INFORMATION Start(const std::string& args) {
  std::string line = "\"" + Beside("Quillet.exe") + "\" " + args;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
  return process;
}

// The main window of Quillet once its first listing is in (its title then
// carries the device's status).
HWND ListedWindow() {
  char title[256] = "";
  for (int i = 0; i < 3000; ++i, Sleep(5)) {
    HWND w = FindWindowA(nullptr, nullptr);
    for (; w; w = GetWindow(w, GW_HWNDNEXT))
      if (GetDlgItem(w, 1000) && GetWindowTextA(w, title, sizeof title) && strncmp(title, "Quillet - ", 10) == 0) return w;
  }
  return nullptr;
}

}  // namespace

int main() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string home = std::string(temp) + "quillet-ping-bench", file = home + "-files\\big.pex";
  CreateDirectoryA((home + "-files").c_str(), nullptr);
  piecesim::SetHome(home);
  SetEnvironmentVariableA("PIECE_SIM_HOME", home.c_str());
  piecesim::ResetAll();
  piecesim::CreateDevice(0, 1 << 20);
  piecesim::SetState(0, "rate", "65536");
  if (FILE* f = fopen(file.c_str(), "wb")) fwrite(std::string(512 * 1024, 'b').data(), 1, 512 * 1024, f), fclose(f);

  PROCESS_INFORMATION quillet = Start(""), second{};
  HWND window = ListedWindow();
  if (window) second = Start("\"" + file + "\"");
  DWORD worst = 0, pings = 0, began = GetTickCount();
  while (window && !piecesim::HasFile(0, "big.pex") && GetTickCount() - began < 30000) {
    DWORD sent = GetTickCount();
    DWORD_PTR answer;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
    DWORD took = GetTickCount() - sent;
    if (took > worst) worst = took;
    ++pings;
    Sleep(50);
  }
  bool written = piecesim::HasFile(0, "big.pex");
  double seconds = (GetTickCount() - began) / 1000.0;
  if (second.hProcess) WaitForSingleObject(second.hProcess, 30000);
  if (window) PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(quillet.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(quillet.hProcess, 1);
  piecesim::ResetAll();
  DeleteFileA(file.c_str());
  if (!written) {
    fprintf(stderr, "the file was not written\n");
    return 1;
  }
  printf("worst ping during a 512 KB write   %6lu ms (%lu pings over %.1f s)\n", worst, pings, seconds);
  return 0;
}
