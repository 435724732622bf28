// The five settings and the LRU list in and out of the settings file.
#include <gtest/gtest.h>

#include "app/settings_store.h"
#include "tests/support/fakes.h"

namespace {

TEST(SettingsStore, Load) {
  FakePlatform platform;
  auto loaded = [] {
    AppSettings = AppSettingsRecord{true, "stale", false, false, true, true};
    LoadSettings();
    return std::to_string(AppSettings.mode) + " " + AppSettings.folder + " " + std::to_string(AppSettings.warnoverwr) +
           std::to_string(AppSettings.openfolder) + std::to_string(AppSettings.beep) + std::to_string(AppSettings.verify);
  };
  EXPECT_EQ("0 C:\\Tools\\ 1100", loaded());   // defaults: the program's folder
  platform.programPath = u8"D:\\\u30bd\u30d5\u30c8\\Quillet.exe";   // host text
  EXPECT_EQ(u8"0 D:\\\u30bd\u30d5\u30c8\\ 1100", loaded());
  platform.programPathAvailable = false;
  EXPECT_EQ("0  1100", loaded());
  platform.ini["config"] = {{"mode", "2"}, {"folder", ""}, {"warnoverwr", "0"}, {"openfolder", "-1"}, {"beep", "7x"}, {"verify", "1"}};
  EXPECT_EQ("1  0111", loaded());   // present but empty stays empty

  // The file holds host text; names come out as device text, and one that
  // code page 932 cannot hold is no device name.
  platform.ini["lru"] = {{"count", "7"}, {"file0", "GAME.PEX"}, {"file1", "Startup.PEX"}, {"file2", ""},
                         {"file3", u8"\uff21\uff22.pex"}, {"file4", u8"\u30bd.PEX"}, {"file5", u8"\u00e9.pex"}};
  LruList = {"kept"};
  LoadLruList();
  EXPECT_EQ((Strings{"kept", "game.pex", "ａｂ.pex", "ソ.pex"}), LruList);
  for (int i = 0; i < 300; ++i) platform.ini["lru"]["file" + std::to_string(i)] = "f" + std::to_string(i);
  for (const char* count : {"0", "-3", "300"}) {
    platform.ini["lru"]["count"] = count, LruList.clear();
    LoadLruList();
    EXPECT_EQ(count[0] == '3' ? 256u : 0u, LruList.size()) << count;
  }
  EXPECT_EQ("f255", LruList.back());
}

TEST(SettingsStore, SaveWritesInOrderAsTheyAre) {
  FakePlatform platform;
  AppSettings = AppSettingsRecord{true, "E:\\swap", false, true, true, false};
  LruList.clear();
  SaveLruList();
  for (int i = 0; i < 300; ++i) LruList.push_back("N" + std::to_string(i));
  LruList[1] = "ソ";
  SaveLruList();
  SaveSettings();
  AppSettings.trace = true;   // the later flags are written only when on, else not there at all
  SaveSettings();
  ASSERT_EQ(1u + 257u + 14u, platform.iniWrites.size());
  EXPECT_EQ("lru/count=0", platform.iniWrites[0]);
  EXPECT_EQ(u8"lru/file1=\u30bd", platform.iniWrites[2]);
  EXPECT_EQ("lru/file255=N255", platform.iniWrites[256]);
  EXPECT_EQ((Strings{"lru/count=256", "config/mode=1", "config/folder=E:\\swap", "config/warnoverwr=0", "config/openfolder=1",
                     "config/beep=1", "config/verify removed", "config/trace removed"}),
            Strings(platform.iniWrites.begin() + 257, platform.iniWrites.begin() + 265));
  EXPECT_EQ((Strings{"config/beep=1", "config/trace=1", "config/verify removed"}),
            Strings(platform.iniWrites.end() - 3, platform.iniWrites.end()));
}

}  // namespace
