// The control side of the simulated P/ECE: what tests and simctl use to set
// devices up and look at them afterwards.
#include "stand-ins/pieceif/simulator.h"

#include <stdlib.h>

#include <cctype>

#include "stand-ins/pieceif/sim_store.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace piecesim {

using namespace store;

namespace {

bool homeSet = false;
std::string homeOverride;

// Files of the home folder that belong to the simulator; ResetAll removes
// these and the device folders and nothing else, because the home folder may
// be the current folder.
const char* const kHomeFiles[] = {"faults", "counts", "calls.log", "open", "connected"};

bool IsDeviceFolderName(const std::string& name) {
  if (name.size() < 4 || name.compare(0, 3, "dev") != 0) return false;
  for (size_t i = 3; i < name.size(); ++i)
    if (!isdigit(static_cast<unsigned char>(name[i]))) return false;
  return true;
}

#ifdef _WIN32
// "simdevices" in the folder of the module this code is linked into (the
// DLL), found from an address inside it.
std::string DefaultHome() {
  HMODULE module = nullptr;
  char path[MAX_PATH] = "";
  if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                             GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&DefaultHome), &module)) {
    DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) path[0] = '\0';
  }
  std::string folder = path;
  // Cut after the last separator, stepping over double-byte characters.
  size_t cut = 0;
  for (size_t i = 0; i < folder.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(folder[i]);
    if (IsDBCSLeadByte(c) && i + 1 < folder.size()) {
      ++i;
      continue;
    }
    if (c == '\\' || c == '/') cut = i + 1;
  }
  folder.resize(cut);
  return folder + "simdevices";
}
#else
std::string DefaultHome() { return "."; }
#endif

}  // namespace

std::string Home() {
  if (homeSet) return homeOverride;
  const char* env = getenv("PIECE_SIM_HOME");
  if (env && *env) return env;
  return DefaultHome();
}

void SetHome(const std::string& folder) {
  homeSet = true;
  homeOverride = folder;
}

void ResetAll() {
  for (const auto& name : ListFolder(Home()))
    if (IsDeviceFolderName(name)) RemoveTree(Join(Home(), name));
  for (const char* file : kHomeFiles) RemoveFile(HomeFile(file));
}

void CreateDevice(int index, uint32_t capacity) {
  MakeFolder(Home());
  RemoveDevice(index);
  MakeFolder(DeviceFolder(index));
  MakeFolder(FlashFolder(index));
  WriteHostFile(DeviceFile(index, "order"), "");
  StateMap state;
  state["capacity"] = std::to_string(capacity);
  SaveState(index, state);
  WriteHostFile(DeviceFile(index, "memory.bin"), std::string(kMemoryEnd - kMemoryBase, '\0'));
}

void RemoveDevice(int index) { RemoveTree(DeviceFolder(index)); }

bool DeviceExists(int index) { return index >= 0 && IsFolder(DeviceFolder(index)); }

void PutFile(int index, const std::string& name, const std::string& bytes) {
  // Set-up may store names the device itself would refuse (to test how the
  // program copes), but not ones the order file cannot hold.
  if (name.empty() || name.find_first_of(std::string("\n\r\0", 3)) != std::string::npos) return;
  std::vector<FlashFile> files = LoadFlash(index);
  bool known = false;
  for (const auto& f : files) known = known || f.name == name;
  if (!WriteHostFile(FlashPath(index, name), bytes)) return;
  if (!known) {
    files.push_back({name, bytes.size()});
    SaveOrder(index, files);
  }
}

bool GetFile(int index, const std::string& name, std::string* bytes) {
  if (!HasFile(index, name)) return false;
  return ReadHostFile(FlashPath(index, name), bytes);
}

bool HasFile(int index, const std::string& name) {
  for (const auto& f : LoadFlash(index))
    if (f.name == name) return true;
  return false;
}

std::vector<std::string> ListFiles(int index) {
  std::vector<std::string> names;
  for (const auto& f : LoadFlash(index)) names.push_back(f.name);
  return names;
}

void SetDirText(int index, const std::string& text) {
  WriteHostFile(DeviceFile(index, "dirtext"), text);
}

void ClearDirText(int index) { RemoveFile(DeviceFile(index, "dirtext")); }

void SetState(int index, const std::string& key, const std::string& value) {
  StateMap state = LoadState(index);
  state[key] = value;
  SaveState(index, state);
}

std::string GetState(int index, const std::string& key) {
  return StateValue(LoadState(index), key);
}

void WriteMemory(int index, uint32_t address, const std::string& bytes) {
  StoreMemory(index, address, bytes.data(), static_cast<uint32_t>(bytes.size()));
}

std::string ReadMemory(int index, uint32_t address, uint32_t length) {
  std::string bytes;
  LoadMemory(index, address, length, &bytes);
  return bytes;
}

std::vector<std::string> Runs(int index) {
  std::string text;
  ReadHostFile(DeviceFile(index, "runs"), &text);
  return SplitLines(text);
}

std::string PlayedSamples(int index) {
  std::string bytes;
  ReadHostFile(DeviceFile(index, "played.bin"), &bytes);
  return bytes;
}

void InjectFault(const std::string& function, int nth, int32_t status) {
  MakeFolder(Home());
  AppendHostFile(HomeFile("faults"),
             function + " " + std::to_string(nth) + " " + std::to_string(status) + "\n");
}

void ClearFaults() {
  RemoveFile(HomeFile("faults"));
  RemoveFile(HomeFile("counts"));
}

std::vector<std::string> CallLog() {
  std::string text;
  ReadHostFile(HomeFile("calls.log"), &text);
  return SplitLines(text);
}

void ClearCallLog() { RemoveFile(HomeFile("calls.log")); }

int OpenConnections() {
  std::string text;
  if (!ReadHostFile(HomeFile("open"), &text)) return 0;
  return atoi(text.c_str());
}

}  // namespace piecesim
