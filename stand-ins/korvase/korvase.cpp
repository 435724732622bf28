// Stand-in for the shell-extension component korvase.dll. Its registration
// binds the extensions .pex and .pfs to the file type "KorvaSE" and gives the
// type a name; unregistering removes the bindings it made. The open command
// under the type is the program's own and is left alone here.
#include <windows.h>
#include <olectl.h>
#include <shlobj.h>

#include <string.h>

namespace {

const char kFileType[] = "KorvaSE";
const char kFriendlyName[] = "P/ECE file";
const char* const kExtensions[] = {".pex", ".pfs"};

bool SetDefaultValue(const char* path, const char* text) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  LONG status = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                               static_cast<DWORD>(strlen(text) + 1));
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

// True when the default value of HKCR\path is the text.
bool DefaultValueIs(const char* path, const char* text) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  char value[64] = {0};
  DWORD size = sizeof value - 1;
  DWORD type = 0;
  LONG status = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value),
                                 &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS && type == REG_SZ && lstrcmpiA(value, text) == 0;
}

// Removes the default value; the key goes too when nothing else is in it.
void ClearDefaultValue(const char* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, nullptr);
  DWORD subkeys = 0, values = 0;
  bool empty = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                &values, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
               subkeys == 0 && values == 0;
  RegCloseKey(key);
  if (empty) RegDeleteKeyA(HKEY_CLASSES_ROOT, path);
}

}  // namespace

extern "C" STDAPI DllRegisterServer() {
  if (!SetDefaultValue(kFileType, kFriendlyName)) return SELFREG_E_CLASS;
  for (const char* extension : kExtensions) {
    if (!SetDefaultValue(extension, kFileType)) return SELFREG_E_CLASS;
  }
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
  return S_OK;
}

extern "C" STDAPI DllUnregisterServer() {
  // An extension another program has taken over since is not ours to unbind.
  for (const char* extension : kExtensions) {
    if (DefaultValueIs(extension, kFileType)) ClearDefaultValue(extension);
  }
  if (DefaultValueIs(kFileType, kFriendlyName)) ClearDefaultValue(kFileType);
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
  return S_OK;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
