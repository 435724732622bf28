// The file-association buttons on a registry and component in memory: every
// registry, library and icon-metrics call in order, and the boxes shown.
#include <gtest/gtest.h>

#include <map>

#include "settings/file_types.h"
#include "tests/support/fakes.h"

namespace {

// Keys are their paths in short: CR: or CU: for the root, FE for Explorer's
// FileExts, WM for the window metrics, KS for KorvaSE\shell. The log is one
// text, each call ending in '|'.
struct FakeShellHost : ShellHost {
  FakePlatform platform;
  std::map<std::string, std::string> registry = {{"CU:FE\\.pex/Application", "notepad.exe"}, {"CU:WM/Shell Icon Size", "32"}};
  std::string log;
  Strings keys, libraries = {"C:\\Tools\\korvase.dll"};
  std::map<std::string, int32_t> exports = {{"DllRegisterServer", 0}, {"DllUnregisterServer", 0}};
  bool createFails = false, systemFolder = true;

  std::string Log(const std::string& what, RegistryRoot root, std::string p) {
    for (auto [from, to] : {std::pair<std::string, std::string>{"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts", "FE"},
                            {"Control Panel\\Desktop\\WindowMetrics", "WM"}, {"KorvaSE\\shell", "KS"}})
      if (p.compare(0, from.size(), from) == 0) p = to + p.substr(from.size());
    p = (root == RegistryRoot::kClassesRoot ? "CR:" : "CU:") + p;
    log += what + " " + p + "|";
    return p;
  }
  Key Hold(const std::string& key) { return keys.push_back(key), reinterpret_cast<Key>(keys.size()); }
  std::string Value(Key key, const char* name) { return keys[reinterpret_cast<size_t>(key) - 1] + "/" + (name ? name : ""); }

  Key CreateKey(RegistryRoot root, const char* path) override {
    std::string key = Log("create", root, path);
    return createFails ? nullptr : Hold(key);
  }
  Key OpenKey(RegistryRoot root, const char* path) override {
    std::string key = Log("open", root, path);
    auto at = registry.lower_bound(key);
    return at != registry.end() && at->first.compare(0, key.size(), key) == 0 ? Hold(key) : nullptr;
  }
  void CloseKey(Key) override { log += "close|"; }
  bool QueryValue(Key key, const char* name, size_t size, RegistryValue* value) override {
    auto at = registry.find(Value(key, name));
    return at != registry.end() && at->second.size() < size && (*value = {kRegSz, at->second + '\0'}, true);
  }
  bool SetValue(Key key, const char* name, const RegistryValue& value) override {
    std::string& stored = registry[Value(key, name)] = value.bytes.substr(0, value.bytes.find('\0'));
    log += "set " + std::string(name ? name : "") + "=" + stored + "|";
    return value.type == kRegSz && value.bytes.back() == '\0';
  }
  void DeleteValue(Key key, const char* name) override { log += std::string("delete ") + name + "|", registry.erase(Value(key, name)); }
  void DeleteKey(RegistryRoot root, const char* path) override { Log("delete", root, path); }
  bool SystemFolder(std::string* path) override { return *path = "C:\\WINDOWS\\system32", systemFolder; }
  Library LoadLibraryFile(const std::string& path) override {
    log += "load " + path + "|";
    return std::find(libraries.begin(), libraries.end(), path) != libraries.end() ? this : nullptr;
  }
  bool CallExport(Library, const char* name, int32_t* result) override {
    return exports.count(name) && (log += std::string("call ") + name + "|", *result = exports[name], true);
  }
  void FreeLibraryFile(Library) override { log += "free|"; }
  void ResetIconMetrics() override { log += "metrics|"; }
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
  using Setup = void (*)(FakeShellHost&);
  const struct { const char* what; Setup setup; bool (*button)(ShellHost&); std::string log; const char* box; } rows[] = {
      {"associate", [](FakeShellHost&) {}, RegisterFileTypes, reg + command + icons, text::kRegistered},
      {"component in the system folder", [](FakeShellHost& h) { h.libraries = {"C:\\WINDOWS\\system32\\korvase.dll"}; },
       RegisterFileTypes, noDll + "call DllRegisterServer|free|" + command + icons, text::kRegistered},
      {"no component", [](FakeShellHost& h) { h.libraries.clear(); }, RegisterFileTypes, noDll, kLoadMessage},
      {"no export", [](FakeShellHost& h) { h.exports.clear(); }, RegisterFileTypes, "load C:\\Tools\\korvase.dll|free|",
       "korvase.dllの中に必要な関数が見つかりません。"},
      {"registration refused", [](FakeShellHost& h) { h.exports["DllRegisterServer"] = 1; }, RegisterFileTypes, reg,
       "korvase.dllの登録に失敗しました。"},
      {"command key refused", [](FakeShellHost& h) { h.createFails = true; }, RegisterFileTypes, reg + "create CR:KS\\open\\command|",
       nullptr},
      {"no program path", [](FakeShellHost& h) { h.platform.programPathAvailable = false; }, RegisterFileTypes, "",
       text::kInternalError},
      {"no system folder", [](FakeShellHost& h) { h.libraries.clear(), h.systemFolder = false; }, RegisterFileTypes,
       "load C:\\Tools\\korvase.dll|", text::kInternalError},
      {"remove", [](FakeShellHost&) {}, UnregisterFileTypes, keys + "load C:\\Tools\\korvase.dll|call DllUnregisterServer|free|" + icons,
       text::kUnregistered},
      {"remove without the component", [](FakeShellHost& h) { h.libraries.clear(); }, UnregisterFileTypes, keys + noDll + icons,
       kLoadMessage},
      {"icons without a size", [](FakeShellHost& h) { h.registry.erase("CU:WM/Shell Icon Size"), h.registry["CU:WM/"]; },
       [](ShellHost& h) { return RefreshShellIcons(h), false; }, "open CU:WM|close|", nullptr},
  };
  for (const auto& r : rows) {
    FakeShellHost host;
    r.setup(host);
    bool done = r.box == text::kRegistered || r.box == text::kUnregistered;
    EXPECT_EQ(done, r.button(host)) << r.what;
    EXPECT_EQ(r.log, host.log) << r.what;
    EXPECT_EQ(r.box ? Strings{r.box} : Strings{}, host.platform.Texts()) << r.what;
    if (r.box) EXPECT_EQ(done ? kNoticeStyle : kErrorStyle, host.platform.shown[0].style) << r.what;
  }
}

}  // namespace
