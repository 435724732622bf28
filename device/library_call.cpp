#include "device/library_call.h"

#include <string.h>

#include <algorithm>
#include <deque>

#include "app/path_util.h"
#include "app/platform.h"
#include "device/pieceif.h"

namespace {

LibraryBackend* backend = nullptr;
// Observers may be added while other files' statics are made.
std::vector<CallObserver*>& Observers() {
  static std::vector<CallObserver*> observers;
  return observers;
}
LibraryCall current;
bool underWay = false;
std::string nextHostFile;
uint64_t nextBytes = 0;
std::deque<std::string> recent;   // the calls that ended, as lines
uint8_t versionRecord[32];
bool versionRead = false;

uintptr_t Word(int32_t value) { return static_cast<uint32_t>(value); }
uintptr_t Word(uint32_t value) { return value; }
uintptr_t Word(const void* pointer) { return reinterpret_cast<uintptr_t>(pointer); }

std::string Number(int64_t value) { return std::to_string(static_cast<long long>(value)); }

std::string Address(uint32_t value) { return "0x" + Hex8(value); }

// A device name (code page 932 bytes) as text, quoted.
std::string Name(uintptr_t word) {
  return word ? "\"" + HostTextOf(reinterpret_cast<const char*>(word)) + "\"" : "(null)";
}

// The command channel's bytes, in hexadecimal: they say which command it is.
std::string Command(uintptr_t bytes, uintptr_t length) {
  std::string text;
  for (int32_t i = 0; bytes && i < static_cast<int32_t>(length) && i < 16; ++i)
    text += (i ? " " : "") + Hex8(reinterpret_cast<const uint8_t*>(bytes)[i]).substr(6);
  return text;
}

std::string Arguments(PieceFunctionId id, const uintptr_t* w, const std::string& hostFile) {
  auto n = [&](int i) { return Number(static_cast<int32_t>(w[i])); };
  switch (id) {
    case kIsmInitEx: return n(0) + ", " + n(1);
    case kIsmCmdW: return Command(w[0], w[1]) + ", " + n(1) + ", " + n(3);
    case kIsmCmdR: return Command(w[0], w[1]) + ", " + n(1) + ", " + n(3);
    case kIsmReadMem: case kIsmWriteMem: return Address(static_cast<uint32_t>(w[1])) + ", " + n(2);
    case kIsmGetVersion: return n(1);
    case kIsmPFFSDir: return n(1) + ", " + n(2);
    case kIsmPFFSRead: case kIsmPFFSWrite: return Name(w[0]) + ", \"" + hostFile + "\"";
    case kIsmPFFSDelete: return Name(w[0]);
    default: return "";
  }
}

std::string TimeOfDay() {
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  ThePlatform().LocalTime(&hour, &minute, &second, &millisecond);
  auto two = [](int v) { return std::string(v < 10 ? "0" : "") + std::to_string(v); };
  return two(hour) + ":" + two(minute) + ":" + two(second) + "." + (millisecond < 100 ? "0" : "") + two(millisecond);
}

// Every argument is one 32-bit word on the library's side, so the table's
// argument bytes must be what the declaration passes.
template <PieceFunctionId id, class... Arguments>
int32_t Call(Arguments... arguments) {
  static_assert(sizeof...(Arguments) * 4 == kPieceFunctions[id].argumentBytes, "the table and the declaration differ");
  const uintptr_t words[] = {Word(arguments)..., 0};
  LibraryCall call;
  call.function = id;
  if (id == kIsmPFFSRead || id == kIsmPFFSWrite) call.hostFile.swap(nextHostFile), call.bytes = nextBytes;
  nextHostFile.clear();
  nextBytes = 0;
  call.arguments = ::Arguments(id, words, call.hostFile);
  call.started = TimeOfDay();
  call.startTick = ThePlatform().TickCount();
  for (CallObserver* observer : Observers()) observer->CallStarts(call);
  current = call;
  underWay = true;
  int32_t status = backend ? backend->Call(id, words, sizeof...(Arguments)) : kPieceVersionFailed;
  underWay = false;
  uint32_t milliseconds = ThePlatform().TickCount() - call.startTick;
  if (id == kIsmGetVersion && status != kPieceVersionFailed && words[0])
    memcpy(versionRecord, reinterpret_cast<const void*>(words[0]), sizeof versionRecord), versionRead = true;
  if (recent.size() == kCallsKept) recent.pop_front();
  recent.push_back(CallEndLine(call, status, milliseconds));
  for (CallObserver* observer : Observers()) observer->CallEnds(call, status, milliseconds);
  return status;
}

}  // namespace

std::string CallStartLine(const LibraryCall& call) {
  return call.started + " " + kPieceFunctions[call.function].name + "(" + call.arguments + ") ...";
}

std::string CallEndLine(const LibraryCall& call, int32_t status, uint32_t milliseconds) {
  return call.started + " " + kPieceFunctions[call.function].name + "(" + call.arguments + ") = " + Number(status) + " (" +
         Number(milliseconds) + " ms)";
}

std::string CallRunningLine(const LibraryCall& call) {
  return call.started + " " + kPieceFunctions[call.function].name + "(" + call.arguments + ") (実行中)";
}

uint32_t CallLimitMs(const LibraryCall& call) {
  uint64_t limit = 3000 + call.bytes * 1000 / 4096;
  return limit > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(limit);
}

void SetLibraryBackend(LibraryBackend* library) { backend = library; }

void AddCallObserver(CallObserver* observer) {
  std::vector<CallObserver*>& observers = Observers();
  if (std::find(observers.begin(), observers.end(), observer) == observers.end()) observers.push_back(observer);
}

void RemoveCallObserver(CallObserver* observer) {
  std::vector<CallObserver*>& observers = Observers();
  observers.erase(std::remove(observers.begin(), observers.end(), observer), observers.end());
}

void NextCallMoves(const std::string& hostFile, uint64_t bytes) { nextHostFile = hostFile, nextBytes = bytes; }

const LibraryCall* CallUnderWay() { return underWay ? &current : nullptr; }

std::vector<std::string> RecentCalls() {
  // A call under way is the last of them.
  auto first = recent.begin() + (underWay && recent.size() == kCallsKept ? 1 : 0);
  std::vector<std::string> lines(first, recent.end());
  if (underWay) lines.push_back(CallRunningLine(current));
  return lines;
}

bool LastVersionRecord(uint8_t (&record)[32]) {
  if (versionRead) memcpy(record, versionRecord, sizeof record);
  return versionRead;
}

extern "C" {

int32_t PIECEIF_CALL ismInitEx(int32_t deviceIndex, int32_t reserved) { return Call<kIsmInitEx>(deviceIndex, reserved); }
int32_t PIECEIF_CALL ismExit(void) { return Call<kIsmExit>(); }
int32_t PIECEIF_CALL ismCmdW(const void* command, int32_t length, const void* data, int32_t dataLength) {
  return Call<kIsmCmdW>(command, length, data, dataLength);
}
int32_t PIECEIF_CALL ismCmdR(const void* command, int32_t length, void* reply, int32_t replyLength) {
  return Call<kIsmCmdR>(command, length, reply, replyLength);
}
int32_t PIECEIF_CALL ismReadMem(void* destination, uint32_t address, int32_t length) {
  return Call<kIsmReadMem>(destination, address, length);
}
int32_t PIECEIF_CALL ismWriteMem(const void* source, uint32_t address, int32_t length) {
  return Call<kIsmWriteMem>(source, address, length);
}
int32_t PIECEIF_CALL ismAppStop(void) { return Call<kIsmAppStop>(); }
int32_t PIECEIF_CALL ismAppStart(void) { return Call<kIsmAppStart>(); }
int32_t PIECEIF_CALL ismGetVersion(void* record32, int32_t flag) { return Call<kIsmGetVersion>(record32, flag); }
int32_t PIECEIF_CALL ismPFFSDir(char* text, int32_t size, int32_t reserved) { return Call<kIsmPFFSDir>(text, size, reserved); }
int32_t PIECEIF_CALL ismPFFSRead(const char* deviceName, const char* hostPath) { return Call<kIsmPFFSRead>(deviceName, hostPath); }
int32_t PIECEIF_CALL ismPFFSWrite(const char* deviceName, const char* hostPath) {
  return Call<kIsmPFFSWrite>(deviceName, hostPath);
}
int32_t PIECEIF_CALL ismPFFSDelete(const char* deviceName) { return Call<kIsmPFFSDelete>(deviceName); }

}  // extern "C"
