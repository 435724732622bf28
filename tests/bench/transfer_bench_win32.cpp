// Writes 200 small files with one TransferFiles call, through the bound
// library on the device thread as the program makes its calls, and in the
// same run with the bare loop of 200 ismPFFSWrite calls straight into the
// stand-in pieceif.dll; prints both times and their ratio. The program's own
// work (the reconciliation, the names, the LRU list, the thread and the
// convention-neutral call) should vanish beside the device's.
//
//   transfer_bench.exe [rounds]     (default 3; the median of each is reported)
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/path_list.h"
#include "app/platform_win32.h"
#include "app/settings_store.h"
#include "device/pieceif_library_win32.h"
#include "stand-ins/pieceif/simulator.h"
#include "tests/bench/bench_win32.h"
#include "transfer/transfer.h"

namespace {

constexpr int kFiles = 200;
constexpr size_t kFileBytes = 512;



void FreshDevice() {
  piecesim::ResetAll();
  piecesim::CreateDevice(0);
  LruList.clear();
}

bool AllOnDevice(const std::vector<std::string>& names) {
  for (const std::string& name : names)
    if (!piecesim::HasFile(0, name)) return false;
  return piecesim::OpenConnections() == 0;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? atoi(argv[1]) : 3;
  if (rounds < 1) rounds = 1;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string home = std::string(temp) + "quillet-transfer-bench", host = home + "-files\\";
  piecesim::SetHome(home);
  _putenv(("PIECE_SIM_HOME=" + home).c_str());   // for the library, which reads it with getenv
  CreateDirectoryA(host.c_str(), nullptr);
  SetPlatform(&TheWin32Platform());
  std::string problem;
  if (!LoadDeviceLibrary(&problem)) {
    fprintf(stderr, "pieceif.dll: cannot be used\n");
    return 1;
  }
  // The bare loop calls the stand-in as it is built: __stdcall.
  HMODULE library = GetModuleHandleW(L"pieceif.dll");
  auto find = [library](const char* name) { return reinterpret_cast<void*>(GetProcAddress(library, name)); };
  auto initEx = reinterpret_cast<int32_t(__stdcall*)(int32_t, int32_t)>(find("ismInitEx"));
  auto write = reinterpret_cast<int32_t(__stdcall*)(const char*, const char*)>(find("ismPFFSWrite"));
  auto exit = reinterpret_cast<int32_t(__stdcall*)()>(find("ismExit"));

  PathList paths;
  std::vector<std::string> names;
  for (int i = 0; i < kFiles; ++i) {
    char file[16];
    snprintf(file, sizeof file, "F%03d.PEX", i);
    if (FILE* f = fopen((host + file).c_str(), "wb")) fwrite(std::string(kFileBytes, 'a' + i % 26).data(), 1, kFileBytes, f), fclose(f);
    paths.push_back(host + file);
    snprintf(file, sizeof file, "f%03d.pex", i);
    names.push_back(file);
  }
  std::vector<double> program, bare;
  auto runProgram = [&]() {
    FreshDevice();
    double start = Now();
    TransferFiles(paths);
    program.push_back(Now() - start);
    return AllOnDevice(names);
  };
  auto runBare = [&]() {
    FreshDevice();
    double start = Now();
    int32_t failed = initEx(0, 0);
    for (int i = 0; i < kFiles; ++i) failed |= write(names[i].c_str(), paths[i].c_str());
    exit();
    bare.push_back(Now() - start);
    return failed == 0 && AllOnDevice(names);
  };
  // The order alternates so that a drift of the host's file system is shared.
  for (int round = 0; round < rounds; ++round) {
    bool ok = round % 2 ? runBare() && runProgram() : runProgram() && runBare();
    if (!ok) {
      fprintf(stderr, "a run did not write every file cleanly\n");
      return 1;
    }
  }
  UnloadDeviceLibrary();
  double p = Median(program), b = Median(bare);
  printf("%d files of %u bytes, median of %d rounds\n", kFiles, static_cast<unsigned>(kFileBytes), rounds);
  printf("TransferFiles:         %8.3f s\n", p);
  printf("bare ismPFFSWrite loop: %8.3f s\n", b);
  printf("ratio:                 %8.3f\n", p / b);
  piecesim::ResetAll();
  return 0;
}
