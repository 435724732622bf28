// Writes 200 small files with one TransferFiles call and, in the same run,
// with the bare library loop of 200 ismPFFSWrite calls, and prints both times
// and their ratio. The program's own work (the reconciliation, the names, the
// LRU list) should vanish beside the device's.
//
//   transfer_bench [rounds]     (default 3; the median of each is reported)
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "app/path_list.h"
#include "app/settings_store.h"
#include "device/connection.h"
#include "device/pieceif.h"
#include "stand-ins/pieceif/simulator.h"
#include "tests/support/fakes.h"
#include "transfer/transfer.h"

namespace {

constexpr int kFiles = 200;
constexpr size_t kFileBytes = 512;

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void FreshDevice() {
  piecesim::ResetAll();
  piecesim::CreateDevice(0);
  LruList.clear();
  deviceIndex = 0;
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

  FakePlatform platform;
  TempDir home, host;
  piecesim::SetHome(home.path());
  AppSettings = AppSettingsRecord();

  PathList paths;
  std::vector<std::string> names;
  for (int i = 0; i < kFiles; ++i) {
    char file[16];
    snprintf(file, sizeof file, "F%03d.PEX", i);
    host.Write(file, std::string(kFileBytes, static_cast<char>('a' + i % 26)));
    paths.push_back(host.File(file));
    snprintf(file, sizeof file, "f%03d.pex", i);
    names.push_back(file);
  }

  std::vector<double> program, bare;
  auto runProgram = [&]() {
    FreshDevice();
    auto start = std::chrono::steady_clock::now();
    TransferFiles(paths);
    program.push_back(Seconds(std::chrono::steady_clock::now() - start));
    return AllOnDevice(names) && platform.shown.empty();
  };
  auto runBare = [&]() {
    FreshDevice();
    auto start = std::chrono::steady_clock::now();
    int32_t failed = ismInitEx(0, 0);
    for (int i = 0; i < kFiles; ++i)
      failed |= ismPFFSWrite(names[i].c_str(), paths[i].c_str());
    ismExit();
    bare.push_back(Seconds(std::chrono::steady_clock::now() - start));
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

  double p = Median(program), b = Median(bare);
  printf("%d files of %zu bytes, median of %d rounds\n", kFiles, kFileBytes, rounds);
  printf("TransferFiles:         %8.3f s\n", p);
  printf("bare ismPFFSWrite loop: %8.3f s\n", b);
  printf("ratio:                 %8.3f\n", p / b);
  return 0;
}
