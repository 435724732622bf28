#include "device/pieceif_library_win32.h"

#include <windows.h>

#include "device/neutral_call_win32.h"
#include "device/pieceif.h"
#include "device/pieceif_functions.h"

namespace {

HMODULE library = nullptr;
void* functions[kPieceFunctionCount] = {};

uintptr_t Word(int32_t value) { return static_cast<uint32_t>(value); }
uintptr_t Word(uint32_t value) { return value; }
uintptr_t Word(const void* pointer) { return reinterpret_cast<uintptr_t>(pointer); }

// Every argument is one 32-bit word on the library's side, so the table's
// argument bytes must be what the declaration passes.
template <PieceFunctionId id, class... Arguments>
int32_t Call(Arguments... arguments) {
  static_assert(sizeof...(Arguments) * 4 == kPieceFunctions[id].argumentBytes, "the table and the declaration differ");
  const uintptr_t words[] = {Word(arguments)..., 0};
  // Unbound, a call fails as a missing device would.
  return functions[id] ? QuilletNeutralCall(functions[id], words, sizeof...(Arguments)) : kPieceVersionFailed;
}

}  // namespace

bool LoadDeviceLibrary(std::string* problem) {
  // The program's folder, then the system folders and PATH, as for an
  // imported DLL, but never the current folder, which a document's folder
  // can be; the library's own dependencies are found the same way.
  SetDllDirectoryW(L"");
  library = LoadLibraryW(L"pieceif.dll");
  if (!library) {
    *problem = "pieceif.dll を読み込めません。";
    return false;
  }
  size_t missing = BindPieceFunctions(
      [](const char* name) { return reinterpret_cast<void*>(GetProcAddress(library, name)); }, functions);
  if (missing < kPieceFunctionCount) {
    UnloadDeviceLibrary();
    *problem = std::string("pieceif.dll に ") + kPieceFunctions[missing].name + " がありません。";
    return false;
  }
  return true;
}

void UnloadDeviceLibrary() {
  for (void*& function : functions) function = nullptr;
  if (library) FreeLibrary(library);
  library = nullptr;
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
