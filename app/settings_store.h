// The user settings and the LRU list, loaded from and saved to the
// settings file "<program base name>.INI".
#ifndef QUILLET_APP_SETTINGS_STORE_H
#define QUILLET_APP_SETTINGS_STORE_H

#include <string>
#include <vector>

struct AppSettingsRecord {
  bool mode = false;        // true: swap files out when the flash is full
  std::string folder;       // the swap folder (host text)
  bool warnoverwr = true;   // ask before replacing a file in the swap folder
  bool openfolder = true;   // open the swap folder when swapping starts
  bool beep = false;        // beep after F5 and F6
  bool verify = false;      // read each file written back and compare it
  bool trace = false;       // write every library call to the log
};

// A key of the config section and its value, as stored.
struct ConfigValue {
  const char* key;
  std::string value;
};

extern AppSettingsRecord AppSettings;
// Device file names (device text), least recently written first; never
// "startup.pex".
extern std::vector<std::string> LruList;

constexpr size_t kLruSaveLimit = 256;

void LoadSettings();
void SaveSettings();
// The config keys SaveSettings writes, in its order, with their values.
std::vector<ConfigValue> ConfigValues();
void LoadLruList();
void SaveLruList();

#endif
