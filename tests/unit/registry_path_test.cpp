#include <gtest/gtest.h>

#include "registry/registry_access.h"

namespace {
struct PathCase {
  std::string path;
  RegKey root;
  std::string subKey;
  std::string rewritten;
};

// Printed by name rather than as raw bytes (which would read the strings' unused buffers).
void PrintTo(const PathCase& c, std::ostream* os) {
  *os << '"' << c.path << '"';
}

class ParseKeyPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(ParseKeyPathTest, RootSubkeyAndRewrittenPath) {
  const PathCase& c = GetParam();
  std::string path = c.path;
  std::string sub = "stale";
  RegKey root = 12345;
  clsRegistryAccess::ParseKeyPath(path, sub, root);
  EXPECT_EQ(root, c.root);
  EXPECT_EQ(sub, c.subKey);
  EXPECT_EQ(path, c.rewritten);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ParseKeyPathTest,
    ::testing::Values(PathCase{"HKLM\\SOFTWARE\\Microsoft", reg::kLocalMachine,
                               "SOFTWARE\\Microsoft", "HKLM\\SOFTWARE\\Microsoft"},
                      PathCase{"hkey_local_machine\\SOFTWARE", reg::kLocalMachine, "SOFTWARE",
                               "HKLM\\SOFTWARE"},
                      PathCase{"HKLM", reg::kLocalMachine, "", "HKLM"},
                      PathCase{"HKEY_LOCAL_MACHINE", reg::kLocalMachine, "", "HKLM"},
                      PathCase{"HKLM\\", reg::kLocalMachine, "", "HKLM\\"},
                      PathCase{"HKU\\Software", 0, "Software", "HKU\\Software"},
                      PathCase{"\\SOFTWARE", 0, "SOFTWARE", "\\SOFTWARE"},
                      PathCase{"HKLMSOFTWARE\\X", reg::kLocalMachine, "X", "HKLMSOFTWARE\\X"},
                      PathCase{"HKCU\\Software\\HKEY_USERS_Backup", reg::kCurrentUser,
                               "Software\\HKUS_Backup", "HKCU\\Software\\HKUS_Backup"},
                      PathCase{"HKEY_USERS\\.DEFAULT", reg::kUsers, ".DEFAULT", "HKUS\\.DEFAULT"},
                      PathCase{"hkcr\\x", reg::kClassesRoot, "x", "hkcr\\x"},
                      PathCase{"HKEY_PERFORMANCE_DATA", reg::kPerformanceData, "", "HKPD"},
                      PathCase{"HKEY_CURRENT_CONFIG\\a", reg::kCurrentConfig, "a", "HKCC\\a"},
                      PathCase{"HKEY_DYN_DATA\\a", reg::kDynData, "a", "HKDD\\a"},
                      PathCase{"", 0, "", ""}, PathCase{"\\\\\\", 0, "\\\\", "\\\\\\"},
                      PathCase{"HK\xE9\\x", 0, "x", "HK\xE9\\x"}));

TEST(ExpandHiveNames, InverseOfShortening) {
  EXPECT_EQ(clsRegistryAccess::ExpandHiveNames("hkcu\\Software\\T"),
            "HKEY_CURRENT_USER\\Software\\T");
  EXPECT_EQ(clsRegistryAccess::ExpandHiveNames("HKLM\\X\\HKCC"),
            "HKEY_LOCAL_MACHINE\\X\\HKEY_CURRENT_CONFIG");
}
}  // namespace
