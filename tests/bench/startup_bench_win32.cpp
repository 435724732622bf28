// Start-up time: launches Quillet.exe on a simulated device with 50 files
// until its list shows all 50, and beside it the two floors, the minimal
// dialog program and the fair one (the same system libraries, OLE and drop
// acceptance), until their lists show their 50 items; prints the medians
// and Quillet's ratio to each.
//
//   startup_bench.exe [rounds]     (default 5)
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "stand-ins/pieceif/simulator.h"
#include "tests/bench/bench_win32.h"

namespace {


struct Search {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindWindowOf(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<Search*>(p);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == s->pid && GetDlgItem(w, 1000)) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

// Seconds from CreateProcess until the process's list holds 50 items; the
// program is then closed. Negative on time-out.
double TimeToList(const std::string& program) {
  std::string line = "\"" + program + "\"";
  std::vector<char> command(line.begin(), line.end());
  command.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  LARGE_INTEGER f, t0, t1;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t0);
  if (!CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process))
    return -1;
  double seconds = -1;
  for (int i = 0; i < 3000; ++i) {
    Search s{process.dwProcessId, nullptr};
    EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&s));
    DWORD_PTR count = 0;
    if (s.found && SendMessageTimeoutA(GetDlgItem(s.found, 1000), LB_GETCOUNT, 0, 0,
                                       SMTO_ABORTIFHUNG, 1000, &count) &&
        count == 50) {
      QueryPerformanceCounter(&t1);
      seconds = static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(f.QuadPart);
      PostMessageA(s.found, WM_COMMAND, IDCANCEL, 0);
      break;
    }
    Sleep(5);
  }
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
    TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return seconds;
}


}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? atoi(argv[1]) : 5;
  if (rounds < 1) rounds = 1;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string home = std::string(temp) + "quillet-startup-bench";
  piecesim::SetHome(home);
  SetEnvironmentVariableA("PIECE_SIM_HOME", home.c_str());
  piecesim::ResetAll();
  piecesim::CreateDevice(0);
  for (int i = 0; i < 50; ++i) {
    char name[32];
    snprintf(name, sizeof name, "file%02d.pex", i);
    piecesim::PutFile(0, name, std::string(100 + i, 'x'));
  }
  const char* programs[] = {"Quillet.exe", "minimal_dialog.exe", "fair_dialog.exe"};
  std::vector<double> times[3];
  for (int r = 0; r < rounds; ++r) {   // side by side, in turn
    for (int p = 0; p < 3; ++p) {
      double t = TimeToList(Beside(programs[p]));
      if (t < 0) {
        fprintf(stderr, "%s did not show its list\n", programs[p]);
        return 1;
      }
      times[p].push_back(t);
    }
  }
  double quillet = Median(times[0]), minimal = Median(times[1]), fair = Median(times[2]);
  printf("startup Quillet.exe (50-file device)  %8.1f ms\n", quillet * 1e3);
  printf("startup minimal dialog program        %8.1f ms\n", minimal * 1e3);
  printf("startup fair dialog program           %8.1f ms\n", fair * 1e3);
  printf("startup ratio                         %8.2f\n", quillet / minimal);
  printf("startup fair ratio                    %8.2f\n", quillet / fair);
  piecesim::ResetAll();
  return 0;
}
