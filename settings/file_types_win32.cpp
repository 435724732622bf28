// The file-type operations on the Windows registry, the component library
// and the system's icon metrics.
#include <windows.h>

#include "app/platform_win32.h"
#include "settings/file_types.h"

namespace {

// Key paths and value names are ASCII; string values are host text, kept
// as UTF-16 in the registry.
class Win32ShellHost : public ShellHost {
 public:
  Key CreateKey(RegistryRoot root, const char* path) override {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExW(RootKey(root), WideFromHost(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS) {
      return nullptr;
    }
    return key;
  }

  Key OpenKey(RegistryRoot root, const char* path) override {
    HKEY key = nullptr;
    if (RegOpenKeyExW(RootKey(root), WideFromHost(path).c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
      return nullptr;
    }
    return key;
  }

  void CloseKey(Key key) override { RegCloseKey(static_cast<HKEY>(key)); }

  // bufferSize counts characters of a string value, bytes of any other.
  bool QueryValue(Key key, const char* name, size_t bufferSize, RegistryValue* value) override {
    WideText buffer(bufferSize, L'\0');
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(bufferSize * sizeof(wchar_t));
    if (RegQueryValueExW(static_cast<HKEY>(key), Name(name).c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(&buffer[0]), &size) != ERROR_SUCCESS) {
      return false;
    }
    if (!IsString(type) && size > bufferSize) return false;
    value->type = type;
    value->bytes = IsString(type) ? HostFromWide(buffer.substr(0, size / sizeof(wchar_t)))
                                  : std::string(reinterpret_cast<const char*>(buffer.data()), size);
    return true;
  }

  bool SetValue(Key key, const char* name, const RegistryValue& value) override {
    WideText text = WideFromHost(value.bytes);
    const BYTE* data = IsString(value.type) ? reinterpret_cast<const BYTE*>(text.data())
                                            : reinterpret_cast<const BYTE*>(value.bytes.data());
    DWORD size = static_cast<DWORD>(IsString(value.type) ? text.size() * sizeof(wchar_t) : value.bytes.size());
    return RegSetValueExW(static_cast<HKEY>(key), Name(name).c_str(), 0, value.type, data, size) == ERROR_SUCCESS;
  }

  void DeleteValue(Key key, const char* name) override {
    RegDeleteValueW(static_cast<HKEY>(key), Name(name).c_str());
  }

  void DeleteKey(RegistryRoot root, const char* path) override {
    RegDeleteKeyW(RootKey(root), WideFromHost(path).c_str());
  }

  bool SystemFolder(std::string* path) override {
    wchar_t buffer[MAX_PATH];
    UINT length = GetSystemDirectoryW(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    *path = HostFromWide(WideText(buffer, length));
    return true;
  }

  Library LoadLibraryFile(const std::string& path) override {
    return LoadLibraryW(WideFromHost(path).c_str());
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
  static bool IsString(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }
  static WideText Name(const char* name) { return name ? WideFromHost(name) : WideText(); }
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
