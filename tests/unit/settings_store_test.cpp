// Loading and saving the five settings and the LRU list.
#include <gtest/gtest.h>

#include "app/settings_store.h"
#include "tests/support/fake_platform.h"

namespace {

class SettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AppSettings = AppSettingsRecord();
    LruList.clear();
  }
  FakePlatform platform;
};

TEST_F(SettingsStoreTest, DefaultsWhenTheFileIsMissing) {
  AppSettings.mode = true;
  AppSettings.warnoverwr = false;
  LoadSettings();
  EXPECT_FALSE(AppSettings.mode);
  EXPECT_EQ("C:\\Tools\\", AppSettings.folder);
  EXPECT_TRUE(AppSettings.warnoverwr);
  EXPECT_TRUE(AppSettings.openfolder);
  EXPECT_FALSE(AppSettings.beep);
}

TEST_F(SettingsStoreTest, FolderDefaultAndPresentButEmpty) {
  platform.programPath = "D:\\ソフト\\Quillet.exe";
  LoadSettings();
  EXPECT_EQ("D:\\ソフト\\", AppSettings.folder);
  platform.programPathAvailable = false;
  LoadSettings();
  EXPECT_EQ("", AppSettings.folder);
  platform.programPathAvailable = true;
  platform.ini["config"]["folder"] = "";
  LoadSettings();
  EXPECT_EQ("", AppSettings.folder);
}

TEST_F(SettingsStoreTest, AnyNonZeroIsTrueAndComesBackAsOne) {
  platform.ini["config"] = {{"mode", "2"}, {"warnoverwr", "0"}, {"openfolder", "-1"},
                            {"beep", "7x"}, {"folder", "E:\\swap"}};
  LoadSettings();
  EXPECT_TRUE(AppSettings.mode);
  EXPECT_FALSE(AppSettings.warnoverwr);
  EXPECT_TRUE(AppSettings.openfolder);
  EXPECT_TRUE(AppSettings.beep);
  SaveSettings();
  EXPECT_EQ((std::vector<std::string>{"config/mode=1", "config/folder=E:\\swap",
                                      "config/warnoverwr=0", "config/openfolder=1", "config/beep=1"}),
            platform.iniWrites);
}

TEST_F(SettingsStoreTest, LruCountIsCappedAndNonPositiveLoadsNothing) {
  for (int i = 0; i < 300; ++i) platform.ini["lru"]["file" + std::to_string(i)] = "f" + std::to_string(i);
  platform.ini["lru"]["count"] = "300";
  LoadLruList();
  ASSERT_EQ(256u, LruList.size());
  EXPECT_EQ("f0", LruList.front());
  EXPECT_EQ("f255", LruList.back());
  for (const char* count : {"0", "-3"}) {
    LruList.clear();
    platform.ini["lru"]["count"] = count;
    LoadLruList();
    EXPECT_TRUE(LruList.empty()) << count;
  }
  LruList.clear();
  platform.ini["lru"].erase("count");
  LoadLruList();
  EXPECT_TRUE(LruList.empty());
}

TEST_F(SettingsStoreTest, LruLoadDropsStartupAndEmptiesAndLowers) {
  platform.ini["lru"] = {{"count", "5"}, {"file0", "GAME.PEX"}, {"file1", "Startup.PEX"},
                         {"file2", ""}, {"file3", "ＡＢ.pex"}, {"file4", "ソ.PEX"}};
  LruList.push_back("kept");
  LoadLruList();
  EXPECT_EQ((std::vector<std::string>{"kept", "game.pex", "ａｂ.pex", "ソ.pex"}), LruList);
}

TEST_F(SettingsStoreTest, LruSaveWritesTheFrontmost256AsTheyAre) {
  for (int i = 0; i < 300; ++i) LruList.push_back("N" + std::to_string(i));
  SaveLruList();
  ASSERT_EQ(257u, platform.iniWrites.size());
  EXPECT_EQ("lru/file0=N0", platform.iniWrites.front());
  EXPECT_EQ("lru/file255=N255", platform.iniWrites[255]);
  EXPECT_EQ("lru/count=256", platform.iniWrites.back());
}

TEST_F(SettingsStoreTest, EmptyLruSavesCountZero) {
  SaveLruList();
  EXPECT_EQ((std::vector<std::string>{"lru/count=0"}), platform.iniWrites);
}

}  // namespace
