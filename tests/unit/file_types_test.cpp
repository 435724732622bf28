#include "app/path_util.h"
#include "settings/file_types.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "settings/settings_text.h"
#include "tests/support/fake_platform.h"

namespace {

// A registry, a set of loadable libraries and the icon metrics, recording
// every call in order.
class FakeShellHost : public ShellHost {
 public:
  struct KeyRecord {
    std::string path;  // "HKCR\\..." or "HKCU\\..."
  };
  std::map<std::string, std::map<std::string, RegistryValue>> registry;
  std::vector<std::string> log;
  std::set<std::string> libraries;                 // paths that load
  std::map<std::string, int32_t> exports = {{"DllRegisterServer", 0},
                                            {"DllUnregisterServer", 0}};
  bool createFails = false;
  bool setFails = false;
  bool systemFolderAvailable = true;
  std::string systemFolder = "C:\\WINDOWS\\system32";
  int openKeys = 0;
  int loadedLibraries = 0;

  static std::string Path(RegistryRoot root, const char* path) {
    return std::string(root == RegistryRoot::kClassesRoot ? "HKCR\\" : "HKCU\\") + path;
  }
  static std::string Name(const char* name) { return name ? name : "(default)"; }

  Key CreateKey(RegistryRoot root, const char* path) override {
    log.push_back("create " + Path(root, path));
    if (createFails) return nullptr;
    registry[Path(root, path)];
    return Hold(Path(root, path));
  }
  Key OpenKey(RegistryRoot root, const char* path) override {
    log.push_back("open " + Path(root, path));
    if (!registry.count(Path(root, path))) return nullptr;
    return Hold(Path(root, path));
  }
  void CloseKey(Key key) override {
    log.push_back("close " + Of(key));
    --openKeys;
  }
  bool QueryValue(Key key, const char* name, size_t bufferSize, RegistryValue* value) override {
    log.push_back("query " + Name(name));
    auto& values = registry[Of(key)];
    auto found = values.find(Name(name));
    if (found == values.end() || found->second.bytes.size() > bufferSize) return false;
    *value = found->second;
    return true;
  }
  bool SetValue(Key key, const char* name, const RegistryValue& value) override {
    log.push_back("set " + Of(key) + " " + Name(name) + "=" + Text(value));
    if (setFails) return false;
    registry[Of(key)][Name(name)] = value;
    return true;
  }
  void DeleteValue(Key key, const char* name) override {
    log.push_back("delete value " + Of(key) + " " + Name(name));
    registry[Of(key)].erase(Name(name));
  }
  void DeleteKey(RegistryRoot root, const char* path) override {
    log.push_back("delete key " + Path(root, path));
    registry.erase(Path(root, path));
  }
  bool SystemFolder(std::string* path) override {
    if (!systemFolderAvailable) return false;
    *path = systemFolder;
    return true;
  }
  Library LoadLibraryFile(const std::string& path) override {
    log.push_back("load " + path);
    if (!libraries.count(path)) return nullptr;
    ++loadedLibraries;
    return this;
  }
  bool CallExport(Library, const char* name, int32_t* result) override {
    log.push_back(std::string("call ") + name);
    auto found = exports.find(name);
    if (found == exports.end()) return false;
    *result = found->second;
    return true;
  }
  void FreeLibraryFile(Library) override {
    log.push_back("free");
    --loadedLibraries;
  }
  void ResetIconMetrics() override { log.push_back("reset metrics"); }

  // The value as text, with its type when it is not REG_SZ.
  static std::string Text(const RegistryValue& value) {
    std::string text = value.bytes;
    if (!text.empty() && text.back() == '\0') text.pop_back();
    else text += "<no zero>";
    if (value.type != kRegSz) text += "<type " + std::to_string(value.type) + ">";
    return text;
  }
  bool Has(const std::string& key, const std::string& name) const {
    auto k = registry.find(key);
    return k != registry.end() && k->second.count(name);
  }
  std::string Get(const std::string& key, const std::string& name) const {
    return Text(registry.at(key).at(name));
  }
  // Log lines that change the registry.
  std::vector<std::string> Writes() const {
    std::vector<std::string> writes;
    for (const auto& line : log) {
      if (line.rfind("create", 0) == 0 || line.rfind("set", 0) == 0 ||
          line.rfind("delete", 0) == 0) {
        writes.push_back(line);
      }
    }
    return writes;
  }

 private:
  std::vector<std::unique_ptr<KeyRecord>> keys_;
  Key Hold(const std::string& path) {
    keys_.push_back(std::unique_ptr<KeyRecord>(new KeyRecord{path}));
    ++openKeys;
    return keys_.back().get();
  }
  static std::string Of(Key key) { return static_cast<KeyRecord*>(key)->path; }
};

RegistryValue Sz(const std::string& text) {
  RegistryValue value;
  value.type = kRegSz;
  value.bytes = text + '\0';
  return value;
}

const char kMetrics[] = "HKCU\\Control Panel\\Desktop\\WindowMetrics";
const char kCommand[] = "HKCR\\KorvaSE\\shell\\open\\command";
const char kPexChoice[] = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.pex";
const char kPfsChoice[] = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.pfs";
const char kProgram[] = "C:\\Program Files\\Quillet\\Quillet.exe";
const char kProgramDll[] = "C:\\Program Files\\Quillet\\korvase.dll";
const char kSystemDll[] = "C:\\WINDOWS\\system32\\korvase.dll";
const char kRegistered[] = "拡張子関連付けの登録を完了しました。";
const char kUnregistered[] = "拡張子関連付けの登録を解除しました。";
const char kInternalError[] = "内部エラーが発生しました。";

TEST(FileTypeTexts, OpenCommandQuotesThePathAndTheArgument) {
  EXPECT_EQ("\"C:\\Program Files\\Quillet\\Quillet.exe\" \"%1\"", OpenCommandText(kProgram));
}

TEST(FileTypeTexts, IconSizeStepsDownFromTheLeadingNumber) {
  EXPECT_EQ("31", SmallerIconSizeText("32"));
  EXPECT_EQ("31", SmallerIconSizeText(" \t32"));
  EXPECT_EQ("6", SmallerIconSizeText("+7"));
  EXPECT_EQ("-4", SmallerIconSizeText("-3"));
  EXPECT_EQ("47", SmallerIconSizeText("48 pixels"));
  EXPECT_EQ("-1", SmallerIconSizeText(""));
  EXPECT_EQ("-1", SmallerIconSizeText("large"));
  EXPECT_EQ("-1", SmallerIconSizeText("- 5"));
  // Out of range: stops at the limit instead of wrapping.
  EXPECT_EQ(2147483647, ParseIconSize("99999999999999999999"));
  EXPECT_EQ("-2147483649", SmallerIconSizeText("-99999999999999999999"));
}

TEST(FileTypeTexts, LoadMessageNamesBothFolders) {
  EXPECT_EQ(
      "korvase.dllがロードできません。\nアプリケーションと同じフォルダ(C:\\Program Files\\Quillet\\)\n"
      "または、Windowsシステムフォルダ(C:\\WINDOWS\\system32)に、\nkorvase.dllが必要です。",
      KorvaseLoadMessage("C:\\Program Files\\Quillet\\", "C:\\WINDOWS\\system32"));
}

TEST(FileTypeTexts, FolderLimitMessageNamesTheLimit) {
  EXPECT_EQ("256 文字以内で入力してください。", TextLimitMessage(kFolderTextLimit));
}

TEST(FileTypeTexts, ComponentPathJoinsFolderAndFile) {
  EXPECT_EQ("C:\\Program Files\\Quillet\\", ProgramFolder(kProgram));
  EXPECT_EQ(kProgramDll, JoinPath("C:\\Program Files\\Quillet\\", "korvase.dll"));
  EXPECT_EQ(kSystemDll, JoinPath("C:\\WINDOWS\\system32", "korvase.dll"));
  EXPECT_EQ("D:/tools/korvase.dll", JoinPath("D:/tools/", "korvase.dll"));
  // "表" is 0x95 0x5C in code page 932: its second byte is no separator.
  EXPECT_EQ("C:\\表\\korvase.dll", JoinPath("C:\\表", "korvase.dll"));
  EXPECT_EQ("C:\\表\\", ProgramFolder("C:\\表\\Quillet.exe"));
}

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform.programPath = kProgram;
    host.registry[kMetrics]["Shell Icon Size"] = Sz("32");
    host.registry[kPexChoice]["Application"] = Sz("notepad.exe");
    host.registry[kPexChoice]["OpenWithList"] = Sz("a");
    host.registry[kPfsChoice]["Application"] = Sz("wordpad.exe");
    host.libraries.insert(kProgramDll);
  }
  void TearDown() override {
    EXPECT_EQ(0, host.openKeys) << "a key was left open";
    EXPECT_EQ(0, host.loadedLibraries) << "the component was left loaded";
  }
  size_t Count(const std::string& line) const {
    size_t n = 0;
    for (const auto& l : host.log) n += l == line;
    return n;
  }

  FakePlatform platform;
  FakeShellHost host;
};

TEST_F(ShellTest, IconRefreshStepsTheSizeDownAndBackWithTwoBroadcasts) {
  RefreshShellIcons(host);
  EXPECT_EQ((std::vector<std::string>{
                std::string("open ") + kMetrics, "query Shell Icon Size",
                std::string("set ") + kMetrics + " Shell Icon Size=31", "reset metrics",
                std::string("set ") + kMetrics + " Shell Icon Size=32", "reset metrics",
                std::string("close ") + kMetrics}),
            host.log);
  EXPECT_TRUE(platform.shown.empty());
}

TEST_F(ShellTest, IconRefreshDoesNothingWithoutAUsableValue) {
  host.registry[kMetrics].clear();
  RefreshShellIcons(host);
  EXPECT_TRUE(host.Writes().empty());
  EXPECT_EQ(0u, Count("reset metrics"));

  // 33 bytes do not fit the 32-byte buffer.
  host.log.clear();
  host.registry[kMetrics]["Shell Icon Size"] = Sz(std::string(32, '3'));
  RefreshShellIcons(host);
  EXPECT_TRUE(host.Writes().empty());
  EXPECT_EQ(0u, Count("reset metrics"));

  host.log.clear();
  host.registry.erase(kMetrics);
  RefreshShellIcons(host);
  EXPECT_EQ(std::vector<std::string>{std::string("open ") + kMetrics}, host.log);
}

TEST_F(ShellTest, IconRefreshLeavesTheValueExactlyAsFound) {
  // A value of another type, or one stored without its zero, comes back unchanged.
  RegistryValue binary;
  binary.type = 3;
  binary.bytes = "30";
  host.registry[kMetrics]["Shell Icon Size"] = binary;
  RefreshShellIcons(host);
  EXPECT_EQ(std::string("set ") + kMetrics + " Shell Icon Size=29", host.log[2]);
  EXPECT_EQ("30<no zero><type 3>", host.Get(kMetrics, "Shell Icon Size"));
}

TEST_F(ShellTest, RegisteringBindsTypesWritesCommandAndClearsUserChoices) {
  EXPECT_TRUE(RegisterFileTypes(host));
  EXPECT_EQ("\"C:\\Program Files\\Quillet\\Quillet.exe\" \"%1\"", host.Get(kCommand, "(default)"));
  EXPECT_FALSE(host.Has(kPexChoice, "Application"));
  EXPECT_FALSE(host.Has(kPfsChoice, "Application"));
  EXPECT_TRUE(host.Has(kPexChoice, "OpenWithList"));
  EXPECT_EQ("32", host.Get(kMetrics, "Shell Icon Size"));

  // Component first, then the command, then the icons.
  std::vector<std::string> head(host.log.begin(), host.log.begin() + 6);
  EXPECT_EQ((std::vector<std::string>{std::string("load ") + kProgramDll, "call DllRegisterServer",
                                      "free", std::string("create ") + kCommand,
                                      std::string("set ") + kCommand + " (default)=" +
                                          OpenCommandText(kProgram),
                                      std::string("close ") + kCommand}),
            head);
  EXPECT_EQ(2u, Count("reset metrics"));
  ASSERT_EQ(1u, platform.shown.size());
  EXPECT_EQ(kRegistered, platform.shown[0].text);
  EXPECT_EQ(kNoticeStyle, platform.shown[0].style);
}

TEST_F(ShellTest, ComponentIsLookedForInTheSystemFolderSecond) {
  host.libraries = {kSystemDll};
  EXPECT_TRUE(InvokeExtensionRegistration(host, true));
  EXPECT_EQ((std::vector<std::string>{std::string("load ") + kProgramDll,
                                      std::string("load ") + kSystemDll, "call DllRegisterServer",
                                      "free"}),
            host.log);
}

TEST_F(ShellTest, MissingComponentStopsRegisteringBeforeAnyWrite) {
  host.libraries.clear();
  EXPECT_FALSE(RegisterFileTypes(host));
  EXPECT_TRUE(host.Writes().empty());
  EXPECT_EQ(0u, Count("reset metrics"));
  ASSERT_EQ(1u, platform.shown.size());
  EXPECT_EQ(KorvaseLoadMessage("C:\\Program Files\\Quillet\\", "C:\\WINDOWS\\system32"),
            platform.shown[0].text);
  EXPECT_EQ(kErrorStyle, platform.shown[0].style);
}

TEST_F(ShellTest, ComponentFailuresAreReportedAndTheLibraryUnloaded) {
  host.exports.erase("DllRegisterServer");
  EXPECT_FALSE(RegisterFileTypes(host));
  host.exports["DllRegisterServer"] = static_cast<int32_t>(0x80004005);
  EXPECT_FALSE(RegisterFileTypes(host));
  host.exports["DllRegisterServer"] = 1;  // any non-zero result fails
  EXPECT_FALSE(InvokeExtensionRegistration(host, true));
  EXPECT_EQ((std::vector<std::string>{"korvase.dllの中に必要な関数が見つかりません。",
                                      "korvase.dllの登録に失敗しました。",
                                      "korvase.dllの登録に失敗しました。"}),
            platform.ShownTexts());
  for (const auto& m : platform.shown) EXPECT_EQ(kErrorStyle, m.style);
  EXPECT_EQ(3u, Count("free"));
  EXPECT_TRUE(host.Writes().empty());
}

TEST_F(ShellTest, UnwritableCommandEndsRegisteringSilently) {
  host.createFails = true;
  EXPECT_FALSE(RegisterFileTypes(host));
  host.createFails = false;
  host.setFails = true;
  EXPECT_FALSE(RegisterFileTypes(host));
  EXPECT_TRUE(platform.shown.empty());
  EXPECT_EQ(0u, Count("reset metrics"));
  EXPECT_TRUE(host.Has(kPexChoice, "Application"));
}

TEST_F(ShellTest, NoProgramPathOrSystemFolderIsAnInternalError) {
  platform.programPathAvailable = false;
  EXPECT_FALSE(InvokeExtensionRegistration(host, true));
  EXPECT_FALSE(WriteOpenCommand(host));
  EXPECT_TRUE(host.log.empty());

  platform.programPathAvailable = true;
  host.libraries.clear();
  host.systemFolderAvailable = false;
  EXPECT_FALSE(InvokeExtensionRegistration(host, false));
  EXPECT_EQ((std::vector<std::string>{kInternalError, kInternalError, kInternalError}),
            platform.ShownTexts());
}

TEST_F(ShellTest, UnregisteringDeletesCommandKeysInnermostFirst) {
  ASSERT_TRUE(RegisterFileTypes(host));
  host.log.clear();
  platform.shown.clear();
  EXPECT_TRUE(UnregisterFileTypes(host));
  std::vector<std::string> head(host.log.begin(), host.log.begin() + 6);
  EXPECT_EQ((std::vector<std::string>{std::string("delete key ") + kCommand,
                                      "delete key HKCR\\KorvaSE\\shell\\open",
                                      "delete key HKCR\\KorvaSE\\shell",
                                      std::string("load ") + kProgramDll,
                                      "call DllUnregisterServer", "free"}),
            head);
  EXPECT_FALSE(host.registry.count(kCommand));
  EXPECT_EQ(2u, Count("reset metrics"));
  EXPECT_EQ(std::vector<std::string>{kUnregistered}, platform.ShownTexts());
  EXPECT_EQ(kNoticeStyle, platform.shown[0].style);
  // A removed association does not bring the user's old choice back.
  EXPECT_FALSE(host.Has(kPexChoice, "Application"));
}

TEST_F(ShellTest, UnregisteringWithoutComponentStillDeletesAndRefreshes) {
  host.libraries.clear();
  host.registry[kCommand]["(default)"] = Sz("x");
  EXPECT_FALSE(UnregisterFileTypes(host));
  EXPECT_FALSE(host.registry.count(kCommand));
  EXPECT_EQ(2u, Count("reset metrics"));
  EXPECT_EQ(std::vector<std::string>{KorvaseLoadMessage("C:\\Program Files\\Quillet\\",
                                                        "C:\\WINDOWS\\system32")},
            platform.ShownTexts());
}

}  // namespace
