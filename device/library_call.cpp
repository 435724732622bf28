#include "device/library_call.h"

#include "device/pieceif.h"

namespace {

LibraryBackend* backend = nullptr;
CallObserver* observer = nullptr;
LibraryCall current;
bool underWay = false;
std::string nextHostFile;

uintptr_t Word(int32_t value) { return static_cast<uint32_t>(value); }
uintptr_t Word(uint32_t value) { return value; }
uintptr_t Word(const void* pointer) { return reinterpret_cast<uintptr_t>(pointer); }

// Every argument is one 32-bit word on the library's side, so the table's
// argument bytes must be what the declaration passes.
template <PieceFunctionId id, class... Arguments>
int32_t Call(Arguments... arguments) {
  static_assert(sizeof...(Arguments) * 4 == kPieceFunctions[id].argumentBytes, "the table and the declaration differ");
  const uintptr_t words[] = {Word(arguments)..., 0};
  LibraryCall call;
  call.function = id;
  if (id == kIsmPFFSRead || id == kIsmPFFSWrite) call.hostFile.swap(nextHostFile);
  nextHostFile.clear();
  if (observer) observer->CallStarts(call);
  current = call;
  underWay = true;
  int32_t status = backend ? backend->Call(id, words, sizeof...(Arguments)) : kPieceVersionFailed;
  underWay = false;
  if (observer) observer->CallEnds(call, status);
  return status;
}

}  // namespace

void SetLibraryBackend(LibraryBackend* library) { backend = library; }
void SetCallObserver(CallObserver* watcher) { observer = watcher; }
void NextCallMoves(const std::string& hostFile) { nextHostFile = hostFile; }
const LibraryCall* CallUnderWay() { return underWay ? &current : nullptr; }

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
