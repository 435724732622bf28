#include "device/pieceif_library_win32.h"

#include <windows.h>

#include <functional>

#include "app/platform_win32.h"

#include "device/neutral_call_win32.h"
#include "device/pieceif.h"
#include "device/pieceif_functions.h"

namespace {

HMODULE library = nullptr;
void* functions[kPieceFunctionCount] = {};

// One device thread makes every call into the library, so the library always
// sees the same caller and the window thread stays free meanwhile. It runs a
// message loop of its own between jobs, in case the library needs one.
HANDLE deviceThread = nullptr, jobReady = nullptr, jobDone = nullptr;
const std::function<void()>* job = nullptr;
bool lastJob = false, calling = false;

DWORD WINAPI DeviceThread(LPVOID) {
  for (;;) {
    if (MsgWaitForMultipleObjects(1, &jobReady, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0) {
      (*job)();
      bool last = lastJob;
      SetEvent(jobDone);
      if (last) return 0;
      continue;
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

// Runs work on the device thread; the window thread waits meanwhile.
void OnDeviceThread(const std::function<void()>& work) {
  job = &work;
  SetEvent(jobReady);
  TheWin32Platform().Wait(jobDone);
}

uintptr_t Word(int32_t value) { return static_cast<uint32_t>(value); }
uintptr_t Word(uint32_t value) { return value; }
uintptr_t Word(const void* pointer) { return reinterpret_cast<uintptr_t>(pointer); }

// Every argument is one 32-bit word on the library's side, so the table's
// argument bytes must be what the declaration passes.
template <PieceFunctionId id, class... Arguments>
int32_t Call(Arguments... arguments) {
  static_assert(sizeof...(Arguments) * 4 == kPieceFunctions[id].argumentBytes, "the table and the declaration differ");
  const uintptr_t words[] = {Word(arguments)..., 0};
  // Unbound, a call fails as a missing device would; so does one made while
  // another is in flight, which no window lets happen.
  if (!functions[id] || calling) return kPieceVersionFailed;
  int32_t status = kPieceVersionFailed;
  calling = true;
  OnDeviceThread([&] { status = QuilletNeutralCall(functions[id], words, sizeof...(Arguments)); });
  calling = false;
  return status;
}

}  // namespace

bool LoadDeviceLibrary(std::string* problem) {
  jobReady = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  jobDone = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  deviceThread = jobReady && jobDone ? CreateThread(nullptr, 0, &DeviceThread, nullptr, 0, nullptr) : nullptr;
  if (!deviceThread) {
    *problem = "pieceif.dll を読み込めません。";
    return false;
  }
  size_t missing = kPieceFunctionCount;
  OnDeviceThread([&] {
    // The program's folder, then the system folders and PATH, as for an
    // imported DLL, but never the current folder, which a document's folder
    // can be; the library's own dependencies are found the same way.
    SetDllDirectoryW(L"");
    library = LoadLibraryW(L"pieceif.dll");
    if (library)
      missing = BindPieceFunctions(
          [](const char* name) { return reinterpret_cast<void*>(GetProcAddress(library, name)); }, functions);
  });
  if (library && missing == kPieceFunctionCount) return true;
  *problem = library ? std::string("pieceif.dll に ") + kPieceFunctions[missing].name + " がありません。"
                     : std::string("pieceif.dll を読み込めません。");
  UnloadDeviceLibrary();
  return false;
}

void UnloadDeviceLibrary() {
  if (deviceThread) {
    lastJob = true;
    OnDeviceThread([] {
      for (void*& function : functions) function = nullptr;
      if (library) FreeLibrary(library);
      library = nullptr;
    });
    WaitForSingleObject(deviceThread, INFINITE);
    CloseHandle(deviceThread);
  }
  if (jobReady) CloseHandle(jobReady);
  if (jobDone) CloseHandle(jobDone);
  deviceThread = jobReady = jobDone = nullptr;
  lastJob = false;
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
