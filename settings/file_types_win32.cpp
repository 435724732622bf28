// The file-type operations on the Windows registry, the component library
// and the system's icon metrics.
#include <windows.h>

#include "settings/file_types.h"

namespace {

class Win32ShellHost : public ShellHost {
 public:
  Key CreateKey(RegistryRoot root, const char* path) override {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(RootKey(root), path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS) {
      return nullptr;
    }
    return key;
  }

  Key OpenKey(RegistryRoot root, const char* path) override {
    HKEY key = nullptr;
    if (RegOpenKeyExA(RootKey(root), path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
      return nullptr;
    }
    return key;
  }

  void CloseKey(Key key) override { RegCloseKey(static_cast<HKEY>(key)); }

  bool QueryValue(Key key, const char* name, size_t bufferSize, RegistryValue* value) override {
    std::string buffer(bufferSize, '\0');
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(bufferSize);
    if (RegQueryValueExA(static_cast<HKEY>(key), name, nullptr, &type,
                         reinterpret_cast<BYTE*>(&buffer[0]), &size) != ERROR_SUCCESS) {
      return false;
    }
    buffer.resize(size);
    value->type = type;
    value->bytes = buffer;
    return true;
  }

  bool SetValue(Key key, const char* name, const RegistryValue& value) override {
    return RegSetValueExA(static_cast<HKEY>(key), name, 0, value.type,
                          reinterpret_cast<const BYTE*>(value.bytes.data()),
                          static_cast<DWORD>(value.bytes.size())) == ERROR_SUCCESS;
  }

  void DeleteValue(Key key, const char* name) override {
    RegDeleteValueA(static_cast<HKEY>(key), name);
  }

  void DeleteKey(RegistryRoot root, const char* path) override {
    RegDeleteKeyA(RootKey(root), path);
  }

  bool SystemFolder(std::string* path) override {
    char buffer[MAX_PATH];
    UINT length = GetSystemDirectoryA(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    path->assign(buffer, length);
    return true;
  }

  Library LoadLibraryFile(const std::string& path) override {
    return LoadLibraryA(path.c_str());
  }

  bool CallExport(Library library, const char* name, int32_t* result) override {
    typedef HRESULT(STDAPICALLTYPE * EntryPoint)();
    EntryPoint entry = reinterpret_cast<EntryPoint>(
        reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name)));
    if (!entry) return false;
    *result = static_cast<int32_t>(entry());
    return true;
  }

  void FreeLibraryFile(Library library) override { FreeLibrary(static_cast<HMODULE>(library)); }

  void ResetIconMetrics() override {
    ICONMETRICSA metrics;
    ZeroMemory(&metrics, sizeof metrics);
    metrics.cbSize = sizeof metrics;
    // Setting zeroed metrics would wreck the user's icon spacing and font.
    if (!SystemParametersInfoA(SPI_GETICONMETRICS, sizeof metrics, &metrics, 0)) return;
    SystemParametersInfoA(SPI_SETICONMETRICS, sizeof metrics, &metrics,
                          SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
  }

 private:
  static HKEY RootKey(RegistryRoot root) {
    return root == RegistryRoot::kClassesRoot ? HKEY_CLASSES_ROOT : HKEY_CURRENT_USER;
  }
};

static_assert(sizeof(ICONMETRICSA) == 76, "the icon-metrics record is 76 bytes");

Win32ShellHost& Host() {
  static Win32ShellHost host;
  return host;
}

}  // namespace

bool RegisterFileTypes() { return RegisterFileTypes(Host()); }
bool UnregisterFileTypes() { return UnregisterFileTypes(Host()); }
void RefreshShellIcons() { RefreshShellIcons(Host()); }
bool WriteOpenCommand() { return WriteOpenCommand(Host()); }
bool DeleteOpenCommandKeys() { return DeleteOpenCommandKeys(Host()); }
bool InvokeExtensionRegistration(bool registering) {
  return InvokeExtensionRegistration(Host(), registering);
}
