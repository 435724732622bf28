// The settings file as a user or another program may have left it: the input
// is INI text ("[section]" lines and "key=value" lines) that fills the
// scripted profile the settings are loaded from.
#include <stddef.h>
#include <stdint.h>

#include <string>

#include "app/path_util.h"
#include "app/settings_store.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/support/fake_platform.h"

namespace {

void FillProfile(const std::string& text, FakePlatform* platform) {
  std::string section;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    platform->ini[section][line.substr(0, eq)] = line.substr(eq + 1);
  }
}

bool HasAsciiCapital(const std::string& name) {
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (IsLeadByte(c) && i + 1 < name.size()) ++i;
    else if (c >= 'A' && c <= 'Z') return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  AppSettingsRecord loaded;
  std::vector<std::string> lru;
  {
    FakePlatform platform;
    FillProfile(std::string(reinterpret_cast<const char*>(data), size), &platform);
    AppSettings = AppSettingsRecord();
    LruList.clear();
    LoadSettings();
    LoadLruList();
    loaded = AppSettings;
    lru = LruList;
  }
  FUZZ_CHECK(lru.size() <= kLruSaveLimit);
  FUZZ_CHECK(loaded.folder.size() < 4096);
  for (const std::string& name : lru) {
    FUZZ_CHECK(!name.empty());
    FUZZ_CHECK(!EqualsIgnoreAsciiCase(name, "startup.pex"));
    FUZZ_CHECK(!HasAsciiCapital(name));
  }

  // What was loaded is saved and loads back the same.
  FakePlatform platform;
  SaveSettings();
  SaveLruList();
  AppSettings = AppSettingsRecord();
  LruList.clear();
  LoadSettings();
  LoadLruList();
  FUZZ_CHECK(AppSettings.mode == loaded.mode && AppSettings.folder == loaded.folder);
  FUZZ_CHECK(AppSettings.warnoverwr == loaded.warnoverwr);
  FUZZ_CHECK(AppSettings.openfolder == loaded.openfolder && AppSettings.beep == loaded.beep);
  FUZZ_CHECK(LruList == lru);
  LruList.clear();
  return 0;
}
