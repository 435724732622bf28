// simctl: sets simulated P/ECE devices up and looks at them, for shell
// scripts and demonstrations. Exit status 0 on success, 1 when the command
// failed, 2 on wrong usage.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "stand-ins/pieceif/sim_store.h"
#include "stand-ins/pieceif/simulator.h"

namespace {

const char kUsage[] =
    "usage: simctl [--home DIR] COMMAND\n"
    "  reset                     remove every device, fault and the call log\n"
    "  create N [CAPACITY]       a fresh empty device N\n"
    "  remove N                  unplug device N\n"
    "  put N NAME HOSTFILE       store HOSTFILE on device N as NAME\n"
    "  get N NAME HOSTFILE       copy NAME from device N to HOSTFILE\n"
    "  list N                    size and name of each file, in device order\n"
    "  state N KEY [VALUE]       print or set a state value\n"
    "  dirtext N [HOSTFILE]      fixed directory text from HOSTFILE (none: clear)\n"
    "  runs N                    programs the launcher ran\n"
    "  fault FUNC NTH STATUS     the NTH call of FUNC (0: every call) returns STATUS\n"
    "  clearfaults               remove the faults and the call counts\n"
    "  log                       the call log\n"
    "  open                      the number of open connections\n";

int Usage() {
  fputs(kUsage, stderr);
  return 2;
}

bool Number(const char* text, long* value) {
  char* end = nullptr;
  *value = strtol(text, &end, 0);
  return *text && end && *end == '\0';
}

bool Index(const char* text, int* index) {
  long v;
  if (!Number(text, &v) || v < 0) return false;
  *index = static_cast<int>(v);
  return true;
}

int Fail(const std::string& message) {
  fprintf(stderr, "simctl: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() >= 2 && args[0] == "--home") {
    piecesim::SetHome(args[1]);
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.empty()) return Usage();
  const std::string& command = args[0];
  size_t n = args.size() - 1;
  int index = 0;
  bool hasIndex = n >= 1 && Index(args[1].c_str(), &index);
  bool needsDevice = command == "put" || command == "get" || command == "list" ||
                     command == "state" || command == "dirtext" || command == "runs";
  if (needsDevice && hasIndex && !piecesim::DeviceExists(index))
    return Fail("no device " + args[1]);

  if (command == "reset" && n == 0) {
    piecesim::ResetAll();
  } else if (command == "create" && (n == 1 || n == 2) && hasIndex) {
    long capacity = piecesim::kDefaultCapacity;
    if (n == 2 && (!Number(args[2].c_str(), &capacity) || capacity < 0)) return Usage();
    piecesim::CreateDevice(index, static_cast<uint32_t>(capacity));
    if (!piecesim::DeviceExists(index)) return Fail("cannot create device " + args[1]);
  } else if (command == "remove" && n == 1 && hasIndex) {
    piecesim::RemoveDevice(index);
  } else if (command == "put" && n == 3 && hasIndex) {
    std::string bytes;
    if (!piecesim::store::ReadHostFile(args[3], &bytes)) return Fail("cannot read " + args[3]);
    piecesim::PutFile(index, args[2], bytes);
    if (!piecesim::HasFile(index, args[2])) return Fail("cannot store " + args[2]);
  } else if (command == "get" && n == 3 && hasIndex) {
    std::string bytes;
    if (!piecesim::GetFile(index, args[2], &bytes)) return Fail("no file " + args[2]);
    if (!piecesim::store::WriteHostFile(args[3], bytes)) return Fail("cannot write " + args[3]);
  } else if (command == "list" && n == 1 && hasIndex) {
    for (const auto& name : piecesim::ListFiles(index)) {
      std::string bytes;
      piecesim::GetFile(index, name, &bytes);
      printf("%6u %s\n", static_cast<unsigned>(bytes.size()), name.c_str());
    }
  } else if (command == "state" && n == 2 && hasIndex) {
    printf("%s\n", piecesim::GetState(index, args[2]).c_str());
  } else if (command == "state" && n == 3 && hasIndex) {
    piecesim::SetState(index, args[2], args[3]);
  } else if (command == "dirtext" && n == 1 && hasIndex) {
    piecesim::ClearDirText(index);
  } else if (command == "dirtext" && n == 2 && hasIndex) {
    std::string bytes;
    if (!piecesim::store::ReadHostFile(args[2], &bytes)) return Fail("cannot read " + args[2]);
    piecesim::SetDirText(index, bytes);
  } else if (command == "runs" && n == 1 && hasIndex) {
    for (const auto& name : piecesim::Runs(index)) printf("%s\n", name.c_str());
  } else if (command == "fault" && n == 3) {
    long nth, status;
    if (!Number(args[2].c_str(), &nth) || nth < 0 || !Number(args[3].c_str(), &status))
      return Usage();
    piecesim::InjectFault(args[1], static_cast<int>(nth), static_cast<int32_t>(status));
  } else if (command == "clearfaults" && n == 0) {
    piecesim::ClearFaults();
  } else if (command == "log" && n == 0) {
    for (const auto& line : piecesim::CallLog()) printf("%s\n", line.c_str());
  } else if (command == "open" && n == 0) {
    printf("%d\n", piecesim::OpenConnections());
  } else {
    return Usage();
  }
  return 0;
}
