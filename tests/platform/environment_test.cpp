// The real Environment service of this build.
#include <gtest/gtest.h>

#include <memory>

#include "platform/environment.h"
#include "platform/service_factories.h"
#include "support/test_support.h"

namespace {

class EnvironmentTest : public ::testing::Test {
 protected:
  void TearDown() override { test_support::UnsetProcessVariable(kName); }
  static constexpr const char* kName = "qEnv_Platform_Test";
  std::unique_ptr<Environment> env_ = CreateEnvironment();
};

TEST_F(EnvironmentTest, NamesMatchWithoutRegardToCase) {
  test_support::SetProcessVariable(kName, "Mixed Value");
  for (const char* spelling : {"qEnv_Platform_Test", "QENV_PLATFORM_TEST", "qenv_platform_test"})
    EXPECT_EQ(env_->GetVariable(spelling), "Mixed Value") << spelling;
}

TEST_F(EnvironmentTest, UnsetOrUnnamedVariableIsEmpty) {
  test_support::SetProcessVariable(kName, "x");
  test_support::UnsetProcessVariable(kName);
  EXPECT_EQ(env_->GetVariable(kName), "");
  EXPECT_EQ(env_->GetVariable(""), "");
  EXPECT_EQ(env_->GetVariable("qEnv_Platform_Test="), "");
}

TEST_F(EnvironmentTest, LongValueComesBackWhole) {
  std::string value;
  for (int i = 0; i < 5000; ++i) value += static_cast<char>('a' + i % 26);
  test_support::SetProcessVariable(kName, value);
  EXPECT_EQ(env_->GetVariable(kName), value);
}

TEST_F(EnvironmentTest, VariablesTheCatalogueReadsAreAnswered) {
  // Both builds answer these on any machine: Windows sets them, the POSIX stand-in maps them.
  EXPECT_NE(env_->GetVariable("TEMP"), "");
  EXPECT_EQ(env_->GetVariable("TEMP"), env_->GetVariable("temp"));
}

}  // namespace
