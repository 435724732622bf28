#include "device/pieceif_library_win32.h"

#include <windows.h>

#include <functional>

#include "app/platform_win32.h"

#include "device/library_call.h"
#include "device/neutral_call_win32.h"
#include "device/pieceif.h"
#include "device/pieceif_functions.h"

namespace {

HMODULE library = nullptr;
void* functions[kPieceFunctionCount] = {};
std::string exportNames[kPieceFunctionCount];

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

// The calls of device/library_call.cpp, made on the device thread through
// the bound library.
class BoundLibrary : public LibraryBackend {
 public:
  int32_t Call(PieceFunctionId id, const uintptr_t* words, size_t count) override {
    // Unbound, a call fails as a missing device would; so does one made
    // while another is in flight, which no window lets happen.
    if (!functions[id] || calling) return kPieceVersionFailed;
    int32_t status = kPieceVersionFailed;
    calling = true;
    OnDeviceThread([&] { status = QuilletNeutralCall(functions[id], words, static_cast<uint32_t>(count)); });
    calling = false;
    return status;
  }
};

BoundLibrary bound;

// The path, file version and export names of the library bound, for the
// report.
LibraryFacts FactsOf(HMODULE module) {
  LibraryFacts facts;
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
  facts.path = HostFromWide(WideText(path, n < MAX_PATH ? n : 0));
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16) /* RT_VERSION */);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const uint8_t* bytes = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
  if (bytes) facts.version = FileVersionOf(std::vector<uint8_t>(bytes, bytes + SizeofResource(module, found)));
  facts.names.assign(std::begin(exportNames), std::end(exportNames));
  return facts;
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
          [](const char* name) { return reinterpret_cast<void*>(GetProcAddress(library, name)); }, functions, exportNames);
  });
  if (library && missing == kPieceFunctionCount) {
    SetLibraryBackend(&bound);
    KnowBoundLibrary(FactsOf(library));
    return true;
  }
  *problem = library ? std::string("pieceif.dll に ") + kPieceFunctions[missing].name + " がありません。"
                     : std::string("pieceif.dll を読み込めません。");
  UnloadDeviceLibrary();
  return false;
}

void UnloadDeviceLibrary() {
  SetLibraryBackend(nullptr);
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
