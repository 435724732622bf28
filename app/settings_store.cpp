#include "app/settings_store.h"

#include "app/path_util.h"
#include "app/platform.h"

AppSettingsRecord AppSettings;
std::vector<std::string> LruList;

namespace {

const char kConfig[] = "config";
const char kLru[] = "lru";
constexpr size_t kStringBuffer = 4096;
constexpr size_t kMaxPath = 260;

std::string FileKey(size_t i) {
  return "file" + std::to_string(static_cast<unsigned>(i));
}

void WriteInt(const char* section, const char* key, int value) {
  ThePlatform().WriteProfileString(section, key, std::to_string(value));
}

std::string Flag(bool on) { return on ? "1" : "0"; }

// The settings added since the first version are written only when on, so
// that the files of those who never turn them on stay as they were.
struct OptionalFlag {
  const char* key;
  bool AppSettingsRecord::*field;
};
const OptionalFlag kOptionalFlags[] = {{"verify", &AppSettingsRecord::verify}, {"trace", &AppSettingsRecord::trace}};

// The folder of the program file with its trailing backslash, or "".
std::string ProgramFolder() {
  std::string path;
  if (!ThePlatform().ProgramPath(&path) || Utf16Length(path) >= kMaxPath) return "";
  return HostFolder(path);
}

}  // namespace

void LoadSettings() {
  Platform& p = ThePlatform();
  AppSettings.mode = p.ProfileInt(kConfig, "mode", 0) != 0;
  std::string folderDefault = ProgramFolder();
  AppSettings.folder = p.ProfileString(kConfig, "folder", folderDefault, kStringBuffer);
  AppSettings.warnoverwr = p.ProfileInt(kConfig, "warnoverwr", 1) != 0;
  AppSettings.openfolder = p.ProfileInt(kConfig, "openfolder", 1) != 0;
  AppSettings.beep = p.ProfileInt(kConfig, "beep", 0) != 0;
  for (const OptionalFlag& flag : kOptionalFlags) AppSettings.*flag.field = p.ProfileInt(kConfig, flag.key, 0) != 0;
}

std::vector<ConfigValue> ConfigValues() {
  std::vector<ConfigValue> values = {{"mode", Flag(AppSettings.mode)},
                                     {"folder", AppSettings.folder},
                                     {"warnoverwr", Flag(AppSettings.warnoverwr)},
                                     {"openfolder", Flag(AppSettings.openfolder)},
                                     {"beep", Flag(AppSettings.beep)}};
  for (const OptionalFlag& flag : kOptionalFlags)
    if (AppSettings.*flag.field) values.push_back({flag.key, "1"});
  return values;
}

void SaveSettings() {
  Platform& p = ThePlatform();
  for (const ConfigValue& value : ConfigValues()) p.WriteProfileString(kConfig, value.key, value.value);
  for (const OptionalFlag& flag : kOptionalFlags)
    if (!(AppSettings.*flag.field)) p.RemoveProfileKey(kConfig, flag.key);
}

void LoadLruList() {
  Platform& p = ThePlatform();
  int count = p.ProfileInt(kLru, "count", 0);
  if (count > static_cast<int>(kLruSaveLimit)) count = kLruSaveLimit;
  for (int i = 0; i < count; ++i) {
    // The file keeps host text; a name that code page 932 cannot hold names
    // no device file.
    std::string name;
    if (!p.DeviceText(p.ProfileString(kLru, FileKey(i).c_str(), "", kStringBuffer), &name)) continue;
    if (name.empty() || EqualsIgnoreAsciiCase(name, "startup.pex")) continue;
    LruList.push_back(LowerMultibyte(name));
  }
}

void SaveLruList() {
  size_t written = 0;
  for (const std::string& name : LruList) {
    if (written == kLruSaveLimit) break;
    ThePlatform().WriteProfileString(kLru, FileKey(written).c_str(), HostTextOf(name));
    ++written;
  }
  WriteInt(kLru, "count", static_cast<int>(written));
}
