#include "main/install_path.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

using Case = std::tuple<std::string, std::string>;  // value as read, value after

class InstallPathCase : public testing::TestWithParam<Case> {};

TEST_P(InstallPathCase, WithBackslashSeparator) {
  EXPECT_EQ(NormalizeInstallPath(std::get<0>(GetParam()), "\\"), std::get<1>(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(
    Normalize, InstallPathCase,
    testing::Values(Case{"C:\\Agent", "C:\\Agent\\"}, Case{"C:\\Agent\\", "C:\\Agent\\"},
                    Case{"C:\\\\Agent\\\\", "C:\\Agent\\"},
                    Case{"C:\\\\\\Agent", "C:\\\\Agent\\"},    // three become two
                    Case{"C:\\\\\\\\Agent", "C:\\\\Agent\\"},  // four become two
                    Case{"C:\\Agent  ", "C:\\Agent  \\"},      // separator after the spaces
                    Case{"C:\\Agent\\  ", "C:\\Agent\\  "},    // trimmed form ends in "\"
                    Case{"\\\\server\\share\\Agent", "\\\\server\\share\\Agent\\"},
                    Case{"\\\\server\\\\share\\Agent\\\\", "\\\\server\\share\\Agent\\"},
                    Case{"\\\\\\\\server\\share", "\\\\\\server\\share\\"},
                    Case{"\\Agent", "\\Agent\\"}, Case{"C:\\Agent\t", "C:\\Agent\t\\"}));

TEST(InstallPath, PosixSeparatorAppendedUnlessEitherSeparatorEnds) {
  EXPECT_EQ(NormalizeInstallPath("/opt/agent", "/"), "/opt/agent/");
  EXPECT_EQ(NormalizeInstallPath("/opt/agent/", "/"), "/opt/agent/");
  EXPECT_EQ(NormalizeInstallPath("/opt/agent\\", "/"), "/opt/agent\\");
  EXPECT_EQ(NormalizeInstallPath("/opt\\\\agent", "/"), "/opt\\agent/");
}

TEST(InstallPath, WindowsSeparatorDoesNotAcceptASlashEnd) {
  EXPECT_EQ(NormalizeInstallPath("C:/Agent/", "\\"), "C:/Agent/\\");
}

}  // namespace
