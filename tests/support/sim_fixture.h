// A fixture that gives each test a fresh simulated P/ECE home folder with
// device 0 present, and a fake platform.
#ifndef QUILLET_TESTS_SUPPORT_SIM_FIXTURE_H
#define QUILLET_TESTS_SUPPORT_SIM_FIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stand-ins/pieceif/simulator.h"
#include "tests/support/fake_platform.h"

class SimTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The call log with the " = status" part kept; only lines whose function
  // name is in the filter (all when empty).
  std::vector<std::string> Calls(const std::vector<std::string>& only = {}) const;
  // Only the function names, in order.
  std::vector<std::string> CallNames() const;

  FakePlatform platform;
  TempDir home;
  TempDir host;   // a folder for host files
};

#endif
