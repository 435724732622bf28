// The file-association buttons on a registry and component in memory: every
// registry, library and icon-metrics call in order, and the boxes shown.
#include <gtest/gtest.h>

#include <map>

#include "settings/file_types.h"
#include "tests/support/fakes.h"

namespace {

// Keys are their paths in short: CR: or CU: for the root, FE for Explorer's
// FileExts, WM for the window metrics, KS for KorvaSE\shell.
struct FakeShellHost : ShellHost {
  std::map<std::string, std::string> registry = {{"CU:FE\\.pex/Application", "notepad.exe"}, {"CU:WM/Shell Icon Size", "32"}};
  Strings log, keys, libraries = {"C:\\Tools\\korvase.dll"};
  std::map<std::string, int32_t> exports = {{"DllRegisterServer", 0}, {"DllUnregisterServer", 0}};
  bool createFails = false, systemFolder = true;

  std::string Log(const std::string& what, RegistryRoot root, std::string p) {
    for (auto [from, to] : {std::pair<std::string, std::string>{"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts", "FE"},
                            {"Control Panel\\Desktop\\WindowMetrics", "WM"}, {"KorvaSE\\shell", "KS"}})
      if (p.compare(0, from.size(), from) == 0) p = to + p.substr(from.size());
    log.push_back(what + (root == RegistryRoot::kClassesRoot ? " CR:" : " CU:") + p);
    return log.back().substr(what.size() + 1);
  }
  bool Exists(const std::string& key) {
    auto at = registry.lower_bound(key);
    return at != registry.end() && at->first.compare(0, key.size(), key) == 0;
  }
  Key Hold(const std::string& key) { return keys.push_back(key), reinterpret_cast<Key>(keys.size()); }
  std::string Value(Key key, const char* name) { return keys[reinterpret_cast<size_t>(key) - 1] + "/" + (name ? name : ""); }

  Key CreateKey(RegistryRoot root, const char* path) override {
    std::string key = Log("create", root, path);
    return createFails ? nullptr : Hold(key);
  }
  Key OpenKey(RegistryRoot root, const char* path) override {
    std::string key = Log("open", root, path);
    return Exists(key) ? Hold(key) : nullptr;
  }
  void CloseKey(Key) override { log.push_back("close"); }
  bool QueryValue(Key key, const char* name, size_t size, RegistryValue* value) override {
    auto at = registry.find(Value(key, name));
    return at != registry.end() && at->second.size() < size && (*value = {kRegSz, at->second + '\0'}, true);
  }
  bool SetValue(Key key, const char* name, const RegistryValue& value) override {
    registry[Value(key, name)] = value.bytes.substr(0, value.bytes.find('\0'));
    log.push_back("set " + Value(key, name).substr(Value(key, name).find('/') + 1) + "=" + registry[Value(key, name)]);
    return value.type == kRegSz && value.bytes.back() == '\0';
  }
  void DeleteValue(Key key, const char* name) override { log.push_back(std::string("delete ") + name), registry.erase(Value(key, name)); }
  void DeleteKey(RegistryRoot root, const char* path) override { Log("delete", root, path); }
  bool SystemFolder(std::string* path) override { return *path = "C:\\WINDOWS\\system32", systemFolder; }
  Library LoadLibraryFile(const std::string& path) override {
    log.push_back("load " + path);
    return std::find(libraries.begin(), libraries.end(), path) != libraries.end() ? this : nullptr;
  }
  bool CallExport(Library, const char* name, int32_t* result) override {
    return exports.count(name) && (log.push_back(std::string("call ") + name), *result = exports[name], true);
  }
  void FreeLibraryFile(Library) override { log.push_back("free"); }
  void ResetIconMetrics() override { log.push_back("metrics"); }
};

const char kLoadMessage[] = "korvase.dllがロードできません。\nアプリケーションと同じフォルダ(C:\\Tools\\)\nまたは、"
                            "Windowsシステムフォルダ(C:\\WINDOWS\\system32)に、\nkorvase.dllが必要です。";

TEST(FileTypes, Buttons) {
  const std::string reg = "load C:\\Tools\\korvase.dll|call DllRegisterServer|free|",
                    noDll = "load C:\\Tools\\korvase.dll|load C:\\WINDOWS\\system32\\korvase.dll|",
                    command = "create CR:KS\\open\\command|set =\"C:\\Tools\\Quillet.exe\" \"%1\"|close|open CU:FE\\.pex|"
                              "delete Application|close|open CU:FE\\.pfs|",
                    icons = "open CU:WM|set Shell Icon Size=31|metrics|set Shell Icon Size=32|metrics|close|",
                    keys = "delete CR:KS\\open\\command|delete CR:KS\\open|delete CR:KS|";
  const struct Row {
    const char* what;
    std::function<void(FakeShellHost&, FakePlatform&)> setup;
    bool (*button)(ShellHost&);
    std::string log;
    const char* box;   // none: the button fails silently
  } rows[] = {
      {"associate", [](FakeShellHost&, FakePlatform&) {}, RegisterFileTypes, reg + command + icons, text::kRegistered},
      {"component in the system folder", [](FakeShellHost& h, FakePlatform&) { h.libraries = {"C:\\WINDOWS\\system32\\korvase.dll"}; },
       RegisterFileTypes, noDll + "call DllRegisterServer|free|" + command + icons, text::kRegistered},
      {"no component", [](FakeShellHost& h, FakePlatform&) { h.libraries.clear(); }, RegisterFileTypes, noDll, kLoadMessage},
      {"no export", [](FakeShellHost& h, FakePlatform&) { h.exports.clear(); }, RegisterFileTypes, "load C:\\Tools\\korvase.dll|free|",
       text::kExportMissing},
      {"registration refused", [](FakeShellHost& h, FakePlatform&) { h.exports["DllRegisterServer"] = 1; }, RegisterFileTypes, reg,
       text::kRegistrationFailed},
      {"command key refused", [](FakeShellHost& h, FakePlatform&) { h.createFails = true; }, RegisterFileTypes,
       reg + "create CR:KS\\open\\command|", nullptr},
      {"no program path", [](FakeShellHost&, FakePlatform& p) { p.programPathAvailable = false; }, RegisterFileTypes, "",
       text::kInternalError},
      {"no system folder", [](FakeShellHost& h, FakePlatform&) { h.libraries.clear(), h.systemFolder = false; }, RegisterFileTypes,
       "load C:\\Tools\\korvase.dll|", text::kInternalError},
      {"remove", [](FakeShellHost&, FakePlatform&) {}, UnregisterFileTypes, keys + "load C:\\Tools\\korvase.dll|call DllUnregisterServer|free|" + icons,
       text::kUnregistered},
      {"remove without the component", [](FakeShellHost& h, FakePlatform&) { h.libraries.clear(); }, UnregisterFileTypes,
       keys + noDll + icons, kLoadMessage},
      {"icons without a size", [](FakeShellHost& h, FakePlatform&) { h.registry.erase("CU:WM/Shell Icon Size"), h.registry["CU:WM/"]; },
       [](ShellHost& h) { return RefreshShellIcons(h), false; }, "open CU:WM|close|", nullptr},
  };
  for (const Row& r : rows) {
    FakePlatform platform;
    FakeShellHost host;
    r.setup(host, platform);
    bool done = r.box == text::kRegistered || r.box == text::kUnregistered;
    EXPECT_EQ(done, r.button(host)) << r.what;
    std::string log;
    for (const std::string& line : host.log) log += line + "|";
    EXPECT_EQ(r.log, log) << r.what;
    EXPECT_EQ(r.box ? Strings{r.box} : Strings{}, platform.Texts()) << r.what;
    if (r.box) EXPECT_EQ(done ? kNoticeStyle : kErrorStyle, platform.shown[0].style) << r.what;
  }
}

}  // namespace
