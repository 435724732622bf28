#include "tests/support/sim_fixture.h"

#include "app/settings_store.h"
#include "device/connection.h"

void SimTest::SetUp() {
  piecesim::SetHome(home.path());
  piecesim::ResetAll();
  piecesim::CreateDevice(0);
  deviceIndex = 0;
  AppSettings = AppSettingsRecord();
  LruList.clear();
}

void SimTest::TearDown() {
  EXPECT_EQ(0, piecesim::OpenConnections()) << "a connection was left open";
}

std::vector<std::string> SimTest::Calls(const std::vector<std::string>& only) const {
  std::vector<std::string> out;
  for (const auto& line : piecesim::CallLog()) {
    std::string name = line.substr(0, line.find('('));
    if (only.empty()) { out.push_back(line); continue; }
    for (const auto& o : only)
      if (o == name) { out.push_back(line); break; }
  }
  return out;
}

std::vector<std::string> SimTest::CallNames() const {
  std::vector<std::string> out;
  for (const auto& line : piecesim::CallLog()) out.push_back(line.substr(0, line.find('(')));
  return out;
}
