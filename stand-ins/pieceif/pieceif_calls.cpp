// The 13 library functions as the simulated device answers them. Each call
// counts itself, may be faulted, re-reads the device's files, and leaves one
// line in the call log.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#ifdef PIECESIM_IN_PROCESS
#include "stand-ins/pieceif/sim_calls.h"
#endif
#include "device/pieceif.h"
#include "stand-ins/pieceif/sim_store.h"
#include "stand-ins/pieceif/simulator.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

namespace piecesim {
namespace {

using namespace store;

std::string Hex(const void* bytes, int32_t length) {
  if (!bytes) return "0";
  static const char kHex[] = "0123456789abcdef";
  const unsigned char* p = static_cast<const unsigned char*>(bytes);
  std::string out;
  for (int32_t i = 0; i < length && i < 256; ++i) {
    if (i) out += ' ';
    out += kHex[p[i] >> 4];
    out += kHex[p[i] & 15];
  }
  return out;
}

std::string Address(uint32_t address) {
  char text[16];
  snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(address));
  return text;
}

std::string Text(const char* s) { return s ? s : "(null)"; }

int32_t Logged(const std::string& call, int32_t status) {
  MakeFolder(Home());
  AppendHostFile(HomeFile("calls.log"), call + " = " + std::to_string(status) + "\n");
  return status;
}

// Counts the call and tells whether an injected fault answers it.
bool TakeFault(const char* function, int32_t* status) {
  std::string text;
  std::string counts;
  long count = 1;
  ReadHostFile(HomeFile("counts"), &counts);
  std::string updated;
  bool found = false;
  for (const auto& line : SplitLines(counts)) {
    char name[64];
    long n;
    if (sscanf(line.c_str(), "%63s %ld", name, &n) == 2 && strcmp(name, function) == 0) {
      count = n + 1;
      updated += std::string(function) + " " + std::to_string(count) + "\n";
      found = true;
    } else if (!line.empty()) {
      updated += line + "\n";
    }
  }
  if (!found) updated += std::string(function) + " 1\n";
  MakeFolder(Home());
  WriteHostFile(HomeFile("counts"), updated);

  if (!ReadHostFile(HomeFile("faults"), &text)) return false;
  for (const auto& line : SplitLines(text)) {
    char name[64];
    long nth;
    long value;
    if (sscanf(line.c_str(), "%63s %ld %ld", name, &nth, &value) != 3) continue;
    if (strcmp(name, function) != 0) continue;
    if (nth == 0 || nth == count) {
      *status = static_cast<int32_t>(value);
      return true;
    }
  }
  return false;
}

// The device of the open connection, or the status of a call made without one.
int32_t Connected(int* index) {
  if (OpenConnections() <= 0) return kStatusNoConnection;
  std::string text;
  if (!ReadHostFile(HomeFile("connected"), &text)) return kStatusNoConnection;
  *index = atoi(text.c_str());
  if (!DeviceExists(*index)) return kStatusNoDevice;
  return 0;
}

uint32_t Le32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void PutLe32(unsigned char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

int64_t NowMs() {
#ifdef _WIN32
  return static_cast<int64_t>(GetTickCount());
#else
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
#endif
}

// Channel 3 given a block address: the device reads the block's header and
// plays its samples.
void Play(int index, StateMap& state, uint32_t address) {
  std::string header, samples;
  uint32_t count = 0;
  if (LoadMemory(index, address, 12, &header)) {
    const unsigned char* h = reinterpret_cast<const unsigned char*>(header.data());
    count = Le32(h + 8);
    if (!LoadMemory(index, Le32(h + 4), count, &samples)) samples.clear();
  }
  WriteHostFile(DeviceFile(index, "played.bin"), samples);
  state["played"] = std::to_string(count);
  state["playaddr"] = std::to_string(address);
  state["plays"] = std::to_string(StateNumber(state, "plays") + 1);
  state["playleft"] = std::to_string(StateNumber(state, "playreads"));
  state["playstart"] = std::to_string(NowMs());
}

// What a read of a channel gives: channel 3 is non-zero while a block plays.
int16_t ReadChannel(StateMap& state, uint8_t channel) {
  if (channel != 3)
    return static_cast<int16_t>(static_cast<uint32_t>(StateNumber(state, "chan" + std::to_string(channel))) & 0xffff);
  if (StateNumber(state, "channelbusy") == 1) return 1;
  int64_t left = StateNumber(state, "playleft");
  if (left > 0) {
    state["playleft"] = std::to_string(left - 1);
    return 1;
  }
  int64_t ms = StateNumber(state, "playms");
  if (ms > 0 && state.count("playstart") && NowMs() - StateNumber(state, "playstart") < ms)
    return 1;
  return 0;
}

int32_t CommandWrite(int index, const unsigned char* b, int32_t length) {
  StateMap state = LoadState(index);
  if (b[0] == 0x10) {
    if (length != 2 || b[1] > 1) return kStatusBadArgument;
    if (b[1] == 1) {
      state["paused"] = "1";
      if (StateNumber(state, "neverstops") != 1)
        state["appstate"] = StateValue(state, "stoppedstate");
    } else {
      state["paused"] = "0";
      state["appstate"] = std::to_string(kStateRunning);
    }
  } else if (b[0] == 0x07) {
    if (length != 6) return kStatusBadArgument;
    uint32_t value = Le32(b + 2);
    state["chan" + std::to_string(b[1])] = std::to_string(value);
    if (b[1] == 3) {
      if (value != 0)
        Play(index, state, value);
      else
        state["playleft"] = "0";
    }
  } else {
    return kStatusBadArgument;
  }
  SaveState(index, state);
  return 0;
}

int32_t CommandRead(int index, const unsigned char* b, int32_t length, unsigned char* reply,
                    int32_t replyLength) {
  StateMap state = LoadState(index);
  if (b[0] == 0x06) {
    if (length != 2 || replyLength != 2) return kStatusBadArgument;
    uint16_t v = static_cast<uint16_t>(ReadChannel(state, b[1]));
    SaveState(index, state);
    reply[0] = static_cast<unsigned char>(v);
    reply[1] = static_cast<unsigned char>(v >> 8);
    return 0;
  }
  if (b[0] == 0x11) {
    if (length != 1 || replyLength != 12) return kStatusBadArgument;
    memset(reply, 0, 12);
    reply[0] = static_cast<unsigned char>(StateNumber(state, "appstate"));
    uint32_t value = static_cast<uint32_t>(
        state.count("appvalue") ? StateNumber(state, "appvalue") : StateNumber(state, "memtop"));
    PutLe32(reply + 8, value);
    return 0;
  }
  return kStatusBadArgument;
}

// The launcher, recognised by its first bytes, runs the program named in its
// name field.
void StartApplication(int index) {
  SetState(index, "appstate", std::to_string(kStateRunning));
  std::string magic, field;
  LoadMemory(index, kMemoryBase, 16, &magic);
  if (magic != std::string(kLauncherMagic, 16)) return;
  LoadMemory(index, kLauncherNameAddress, 32, &field);
  std::string name = field.substr(0, field.find('\0'));
  SetState(index, "lastrun", name);
  AppendHostFile(DeviceFile(index, "runs"), name + "\n");
}

int32_t Directory(int index, char* text, int32_t size) {
  std::string fixed;
  if (ReadHostFile(DeviceFile(index, "dirtext"), &fixed)) {
    // Verbatim, so that malformed texts reach the program as they are; one
    // without a terminator in the buffer fills it completely.
    size_t zero = fixed.find('\0');
    if (zero != std::string::npos && zero < static_cast<size_t>(size)) {
      memcpy(text, fixed.data(), zero + 1);
    } else if (fixed.size() < static_cast<size_t>(size)) {
      memcpy(text, fixed.data(), fixed.size());
      text[fixed.size()] = '\0';
    } else {
      memcpy(text, fixed.data(), size);
    }
    // A library may hand over text and still report a failure.
    return static_cast<int32_t>(StateNumber(LoadState(index), "dirstatus"));
  }
  std::vector<FlashFile> files = LoadFlash(index);
  uint64_t used = 0;
  std::string out;
  for (size_t i = 0; i < files.size(); ++i) {
    out += "+" + std::to_string(i) + ":" + std::to_string(files[i].size) + " " + files[i].name + "\n";
    used += files[i].size;
  }
  int64_t capacity = StateNumber(LoadState(index), "capacity");
  int64_t free = capacity > static_cast<int64_t>(used) ? capacity - static_cast<int64_t>(used) : 0;
  out += std::to_string(free) + " bytes free\n";
  if (out.size() > static_cast<size_t>(size) - 1) return kStatusTextTooLong;
  memcpy(text, out.c_str(), out.size() + 1);
  return 0;
}

// A device that moves files at a rate (state "rate", bytes a second; 0:
// at once), as a real one over USB does: the call returns when the whole
// file has moved.
void Pace(int index, uint64_t bytes) {
  int64_t rate = StateNumber(LoadState(index), "rate");
  if (rate <= 0) return;
  uint64_t ms = bytes * 1000 / static_cast<uint64_t>(rate);
#ifdef _WIN32
  Sleep(static_cast<DWORD>(ms));
#else
  struct timespec wait = {static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000};
  nanosleep(&wait, nullptr);
#endif
}

int32_t FlashRead(int index, const char* name, const char* hostPath) {
  if (!name || !*name) return kStatusBadArgument;
  if (!hostPath || !*hostPath) return kStatusHostFile;
  std::string bytes;
  if (!HasFile(index, name) || !ReadHostFile(FlashPath(index, name), &bytes)) return kStatusNoFile;
  Pace(index, bytes.size());
  if (!WriteHostFile(hostPath, bytes)) {
    RemoveFile(hostPath);
    return kStatusHostFile;
  }
  return 0;
}

int32_t FlashWrite(int index, const char* name, const char* hostPath) {
  if (!ValidFlashName(name)) return kStatusBadArgument;
  std::string bytes;
  if (!hostPath || !*hostPath || !ReadHostFile(hostPath, &bytes)) return kStatusHostFile;
  std::vector<FlashFile> files = LoadFlash(index);
  StateMap state = LoadState(index);
  // A faulty device that keeps a file a byte short and says it is stored,
  // or (once) keeps one file's first byte changed.
  if (StateNumber(state, "shortwrites") && !bytes.empty()) bytes.pop_back();
  if (StateValue(state, "garble") == name && !bytes.empty()) {
    bytes[0] = static_cast<char>(bytes[0] ^ 0x20);
    SetState(index, "garble", "");
  }
  uint64_t total = bytes.size();
  bool known = false;
  for (const auto& f : files) {
    if (f.name == name)
      known = true;
    else
      total += f.size;
  }
  int64_t capacity = StateNumber(state, "capacity");
  if (static_cast<int64_t>(total) > capacity) return kPieceFlashFull;
  Pace(index, bytes.size());
  // Written beside and then moved over, so a failed write keeps the old file.
  // The suffix is no valid escape, so the temporary never counts as flash.
  std::string path = FlashPath(index, name), temporary = path + "%~";
  if (!WriteHostFile(temporary, bytes) || !MoveOver(temporary, path)) {
    RemoveFile(temporary);
    return kStatusHostFile;
  }
  if (!known) {
    files.push_back({name, bytes.size()});
    SaveOrder(index, files);
  }
  return 0;
}

int32_t FlashDelete(int index, const char* name) {
  if (!name || !*name) return kStatusBadArgument;
  std::vector<FlashFile> files = LoadFlash(index);
  for (size_t i = 0; i < files.size(); ++i) {
    if (files[i].name != name) continue;
    if (!RemoveFile(FlashPath(index, name))) return kStatusHostFile;
    files.erase(files.begin() + i);
    SaveOrder(index, files);
    return 0;
  }
  return kStatusNoFile;
}

}  // namespace
}  // namespace piecesim

using namespace piecesim;
using namespace piecesim::store;

extern "C" {

int32_t PIECEIF_CALL ismInitEx(int32_t deviceIndex, int32_t reserved) {
  std::string call = "ismInitEx(" + std::to_string(deviceIndex) + ", " + std::to_string(reserved) + ")";
  int32_t status;
  if (!TakeFault("ismInitEx", &status)) {
    if (!DeviceExists(deviceIndex)) {
      status = kStatusNoDevice;
    } else {
      WriteHostFile(HomeFile("connected"), std::to_string(deviceIndex) + "\n");
      WriteHostFile(HomeFile("open"), "1\n");
      status = 0;
    }
  }
  return Logged(call, status);
}

int32_t PIECEIF_CALL ismExit(void) {
  int32_t status;
  if (!TakeFault("ismExit", &status)) {
    // Closing when nothing is open is harmless.
    if (OpenConnections() > 0) WriteHostFile(HomeFile("open"), "0\n");
    status = 0;
  }
  return Logged("ismExit()", status);
}

int32_t PIECEIF_CALL ismCmdW(const void* command, int32_t length, const void* data, int32_t dataLength) {
  std::string call = "ismCmdW(" + Hex(command, length) + ", " + std::to_string(length) + ", " +
                     Hex(data, dataLength) + ", " + std::to_string(dataLength) + ")";
  int32_t status;
  int index = 0;
  if (!TakeFault("ismCmdW", &status) && (status = Connected(&index)) == 0) {
    if (!command || length < 1 || dataLength < 0 || (dataLength > 0 && !data))
      status = kStatusBadArgument;
    else
      status = CommandWrite(index, static_cast<const unsigned char*>(command), length);
  }
  return Logged(call, status);
}

int32_t PIECEIF_CALL ismCmdR(const void* command, int32_t length, void* reply, int32_t replyLength) {
  // The reply may overwrite the command: take the command bytes first.
  std::string bytes;
  if (command && length > 0) bytes.assign(static_cast<const char*>(command), length);
  std::string call = "ismCmdR(" + Hex(command ? bytes.data() : nullptr, length) + ", " +
                     std::to_string(length) + ", " + std::to_string(replyLength) + ")";
  int32_t status;
  int index = 0;
  if (!TakeFault("ismCmdR", &status) && (status = Connected(&index)) == 0) {
    if (bytes.empty() || !reply || replyLength < 0)
      status = kStatusBadArgument;
    else
      status = CommandRead(index, reinterpret_cast<const unsigned char*>(bytes.data()), length,
                           static_cast<unsigned char*>(reply), replyLength);
  }
  return Logged(call, status);
}

int32_t PIECEIF_CALL ismReadMem(void* destination, uint32_t address, int32_t length) {
  std::string call = "ismReadMem(" + Address(address) + ", " + std::to_string(length) + ")";
  int32_t status;
  int index = 0;
  if (!TakeFault("ismReadMem", &status) && (status = Connected(&index)) == 0) {
    std::string bytes;
    if (length < 0 || (length > 0 && !destination) ||
        !LoadMemory(index, address, static_cast<uint32_t>(length), &bytes)) {
      status = kStatusBadArgument;
    } else {
      if (length > 0) memcpy(destination, bytes.data(), bytes.size());
      status = 0;
    }
  }
  return Logged(call, status);
}

int32_t PIECEIF_CALL ismWriteMem(const void* source, uint32_t address, int32_t length) {
  std::string call = "ismWriteMem(" + Address(address) + ", " + std::to_string(length) + ")";
  int32_t status;
  int index = 0;
  if (!TakeFault("ismWriteMem", &status) && (status = Connected(&index)) == 0) {
    if (length < 0 || (length > 0 && !source) || !MemoryInRange(address, static_cast<uint32_t>(length)))
      status = kStatusBadArgument;
    else
      status = StoreMemory(index, address, source, static_cast<uint32_t>(length)) ? 0 : kStatusHostFile;
  }
  return Logged(call, status);
}

int32_t PIECEIF_CALL ismAppStop(void) {
  int32_t status;
  int index = 0;
  if (!TakeFault("ismAppStop", &status) && (status = Connected(&index)) == 0)
    SetState(index, "appstate", GetState(index, "stoppedstate"));
  return Logged("ismAppStop()", status);
}

int32_t PIECEIF_CALL ismAppStart(void) {
  int32_t status;
  int index = 0;
  if (!TakeFault("ismAppStart", &status) && (status = Connected(&index)) == 0)
    StartApplication(index);
  return Logged("ismAppStart()", status);
}

int32_t PIECEIF_CALL ismGetVersion(void* record32, int32_t flag) {
  std::string call = "ismGetVersion(" + std::to_string(flag) + ")";
  int32_t status;
  int index = 0;
  if (TakeFault("ismGetVersion", &status)) {
    // Its only failure value is -1; anything else would read as success.
    if (status != 0) status = kPieceVersionFailed;
  } else if (Connected(&index) != 0 || !record32) {
    status = kPieceVersionFailed;
  } else {
    unsigned char* record = static_cast<unsigned char*>(record32);
    memset(record, 0, 32);
    StateMap state = LoadState(index);
    record[0] = 1;  // a version number, for whoever looks
    PutLe32(record + 20, static_cast<uint32_t>(StateNumber(state, "memtop")));
    // What says to the program that this is the simulator, which alone can
    // run the built-in launcher.
    if (StateNumber(state, "simtag") != 0) memcpy(record + 24, kSimulatorTag, 8);
    status = 0;
  }
  return Logged(call, status);
}

int32_t PIECEIF_CALL ismPFFSDir(char* text, int32_t size, int32_t reserved) {
  std::string call = "ismPFFSDir(" + std::to_string(size) + ", " + std::to_string(reserved) + ")";
  int32_t status;
  int index = 0;
  if (!TakeFault("ismPFFSDir", &status) && (status = Connected(&index)) == 0) {
    if (!text || size <= 0)
      status = kStatusBadArgument;
    else
      status = Directory(index, text, size);
  }
  return Logged(call, status);
}

int32_t PIECEIF_CALL ismPFFSRead(const char* deviceName, const char* hostPath) {
  std::string call = "ismPFFSRead(" + Text(deviceName) + ", " + Text(hostPath) + ")";
  int32_t status;
  int index = 0;
  if (!TakeFault("ismPFFSRead", &status) && (status = Connected(&index)) == 0)
    status = FlashRead(index, deviceName, hostPath);
  return Logged(call, status);
}

int32_t PIECEIF_CALL ismPFFSWrite(const char* deviceName, const char* hostPath) {
  std::string call = "ismPFFSWrite(" + Text(deviceName) + ", " + Text(hostPath) + ")";
  int32_t status;
  int index = 0;
  if (!TakeFault("ismPFFSWrite", &status) && (status = Connected(&index)) == 0)
    status = FlashWrite(index, deviceName, hostPath);
  return Logged(call, status);
}

int32_t PIECEIF_CALL ismPFFSDelete(const char* deviceName) {
  std::string call = "ismPFFSDelete(" + Text(deviceName) + ")";
  int32_t status;
  int index = 0;
  if (!TakeFault("ismPFFSDelete", &status) && (status = Connected(&index)) == 0)
    status = FlashDelete(index, deviceName);
  return Logged(call, status);
}

}  // extern "C"
