#include <gtest/gtest.h>

#include <functional>

#include "registry/registry_key.h"
#include "registry_fixture.h"

namespace {
using ::testing::ElementsAre;

const std::string kNotFound = "2-The system cannot find the file specified.";
const std::string kBadHandle = "6-The handle is invalid.";

using KeysTest = RegistryTest;

TEST_F(KeysTest, CreateKeyCreatesParentsAndOpensAnExistingKey) {
  EXPECT_NE(reg.CreateKey("HKEY_CURRENT_USER\\Software\\A\\B\\C", err), 0);
  EXPECT_EQ(err, "");
  EXPECT_TRUE(fake.registry.HasKey("HKCU\\Software\\A\\B\\C"));
  EXPECT_THAT(Log(),
              ElementsAre("MSG : Creating the resgistry key HKEY_CURRENT_USER\\Software\\A\\B\\C",
                          "MSG : Successfully created the key HKCU\\Software\\A\\B\\C"));
  EXPECT_NE(reg.CreateKey("HKCU\\Software\\A\\B\\C", err), 0);

  err = "stale";
  EXPECT_EQ(reg.CreateKey("HKU\\Software\\X", err), 0);
  EXPECT_EQ(err, "Failed to create the registry key HKU\\Software\\X, " + kBadHandle);
  EXPECT_EQ(Log().back(), "ERR : " + err);
}

TEST_F(KeysTest, CreateKey64BitLeavesAnExistingKeyAndUsesTheViewMask) {
  EXPECT_NE(reg.CreateKey64Bit("HKCU\\Software\\V", err), 0);
  EXPECT_TRUE(fake.registry.HasKey("HKCU\\Software\\V"));
  EXPECT_EQ(registry.masks.back(), 0xF013Fu);
  Log();
  EXPECT_EQ(reg.CreateKey64Bit("HKCU\\Software\\V", err), 0);
  EXPECT_THAT(Log(), ElementsAre("MSG : Creating the resgistry key HKCU\\Software\\V"));

  EXPECT_EQ(reg.CreateKey64Bit("HKXX\\V", err), 0);
  EXPECT_EQ(err, "");
  EXPECT_EQ(Log().back(), "ERR : failed to create the key HKXX\\V with error as " + kBadHandle);
}

TEST_F(KeysTest, HaveSubkeyAndEnumKeys) {
  fake.registry.CreatePath("HKCU\\Software\\T\\b");
  fake.registry.CreatePath("HKCU\\Software\\T\\A");
  fake.registry.CreatePath("HKCU\\Software\\T\\A\\deep");
  // A first subkey name that fills the 255-byte buffer answers 234, not 0: still a subkey.
  fake.registry.CreatePath("HKCU\\L\\" + std::string(255, 'n'));
  std::string unused;

  EXPECT_TRUE(reg.HaveSubkey("HKCU\\L", unused));
  EXPECT_TRUE(reg.HaveSubkey64Bit("HKCU\\L", unused));
  EXPECT_THAT(Log(), ElementsAre("MSG : HaveSubkey, HKCU\\L", "MSG : Subkeys found",
                                 "MSG : HaveSubkey64Bit, HKCU\\L", "MSG : Subkeys found"));
  EXPECT_TRUE(reg.HaveSubkey("HKCU\\Software\\T", unused));
  EXPECT_FALSE(reg.HaveSubkey64Bit("HKCU\\Software\\T\\b", unused));
  EXPECT_FALSE(reg.HaveSubkey("HKCU\\Software\\Missing", unused));
  EXPECT_FALSE(reg.HaveSubkey64Bit("HKCU\\Software\\Missing", unused));
  EXPECT_THAT(Log(),
              ElementsAre("MSG : HaveSubkey, HKCU\\Software\\T", "MSG : Subkeys found",
                          "MSG : HaveSubkey64Bit, HKCU\\Software\\T\\b", "MSG : No subkeys found",
                          "MSG : HaveSubkey, HKCU\\Software\\Missing",
                          "ERR : Failed to open the key, HKCU\\Software\\Missing, " + kNotFound,
                          "MSG : HaveSubkey64Bit, HKCU\\Software\\Missing",
                          "ERR : failed to open the key, " + kNotFound));

  std::vector<std::string> keys{"stale"};
  EXPECT_EQ(reg.EnumKeys("HKCU\\Software\\T", keys), 2);
  EXPECT_THAT(keys, ElementsAre("A", "b"));
  EXPECT_EQ(reg.EnumKeys64Bit("HKEY_CURRENT_USER\\Software\\T\\b", keys), 0);
  EXPECT_TRUE(keys.empty());
  EXPECT_EQ(reg.EnumKeys("HKCU\\Software\\Missing", keys), -1);
  EXPECT_THAT(Log(), ElementsAre("ERR : key does not exists"));
}

// The owning key: it holds a key only after a call that succeeded, and closes it once.
TEST_F(KeysTest, RegistryKeyClosesWhatItHoldsExactlyOnce) {
  fake.registry.CreatePath("HKCU\\Software\\K");
  RegistryKey missing(registry);
  EXPECT_EQ(missing.OpenEx(reg::kCurrentUser, "Software\\None", reg::kKeyRead), 2);
  EXPECT_EQ(missing.Open(0, "Software\\K"), 6);
  EXPECT_EQ(missing.Handle(), 0u);
  const std::function<long(RegistryKey&)> calls[] = {
      [](RegistryKey& k) { return k.Open(reg::kCurrentUser, "Software\\K"); },
      [](RegistryKey& k) { return k.OpenEx(reg::kCurrentUser, "Software\\K", reg::kKeyRead); },
      [](RegistryKey& k) { return k.Create(reg::kCurrentUser, "Software\\K"); },
      [](RegistryKey& k) {
        return k.CreateEx(reg::kCurrentUser, "Software\\K", "", 0, reg::kKeyRead, nullptr);
      },
  };
  for (const auto& call : calls) {
    RegistryKey key(registry);
    EXPECT_EQ(call(key), 0);
    EXPECT_NE(key.Handle(), 0u);
    EXPECT_EQ(fake.registry.OpenHandleCount(), 1u);
    EXPECT_EQ(key.Close(), 0);
    EXPECT_EQ(key.Handle(), 0u);
    EXPECT_EQ(fake.registry.OpenHandleCount(), 0u);
    EXPECT_EQ(key.Close(), 0);  // a second RegCloseKey would answer 6
  }
  RegKey opened = 0;
  ASSERT_EQ(registry.OpenKey(reg::kCurrentUser, "Software\\K", opened), 0);
  { RegistryKey adopted(registry, opened); }
  EXPECT_EQ(fake.registry.OpenHandleCount(), 0u);
  EXPECT_EQ(registry.CloseKey(opened), 6);
}

TEST_F(KeysTest, EnumKeysSoftwareListsDisplayNamesThatAreNotBlank) {
  const std::string u = "HKLM\\SOFTWARE\\Uninstall";
  fake.registry.SetString(u + "\\{1}", "DisplayName", "Editor");
  fake.registry.SetString(u + "\\{2}", "DisplayName", "   ");
  fake.registry.CreatePath(u + "\\{3}");
  fake.registry.SetString(u + "\\{4}", "DisplayName", " Viewer ");
  std::vector<std::string> names;
  EXPECT_EQ(reg.EnumKeysSoftware(u, names), 2);
  EXPECT_THAT(names, ElementsAre("Editor", " Viewer "));
  EXPECT_EQ(reg.EnumKeysSoftware(u + "\\None", names), -1);
}

// Every spelling of the protected keys, and the hive that holds them, is refused by both
// forms; the key survives and the text quotes the path as passed.
class ProtectedKeyTest : public RegistryTest, public ::testing::WithParamInterface<std::string> {};

// Keys the refused paths hold, all of which must survive.
// clang-format off
const char* const kSystemKeys[] = {"HKLM\\SOFTWARE\\Microsoft", "HKLM\\HARDWARE", "HKLM\\SAM",
    "HKLM\\SECURITY", "HKLM\\SYSTEM\\CurrentControlSet\\C", "HKLM\\SOFTWARE\\Classes\\C",
    "HKLM\\SOFTWARE\\Wow6432Node\\C", "HKCU\\C", "HKCR\\C", "HKUS\\S-1-5-18\\C", "HKCC\\C"};
// clang-format on

TEST_P(ProtectedKeyTest, IsRefused) {
  for (const char* key : kSystemKeys) fake.registry.CreatePath(key);
  const std::string path = GetParam();
  const std::string text =
      path + " cannot be deleted, as deleting it might cause the OS to repair or re-install. ";
  EXPECT_EQ(reg.KillKey(path, "Y", err), 0);
  EXPECT_EQ(err, text);
  EXPECT_EQ(Log().back(), "ERR : " + text);
  EXPECT_EQ(reg.KillKey64bit(path, "Y", err), 0);
  EXPECT_EQ(err, text);
  for (const char* key : kSystemKeys) EXPECT_TRUE(fake.registry.HasKey(key)) << key;
}

INSTANTIATE_TEST_SUITE_P(
    Spellings, ProtectedKeyTest,
    ::testing::Values("HKEY_LOCAL_MACHINE\\SOFTWARE", "hkey_local_machine\\system ", "HKLM\\SYSTEM",
                      "hklm\\Software\\microsoft", "  HKLM\\HARDWARE  ", "HKLM\\SAM\\",
                      "HKLM\\\\SECURITY", "HKLM\\SOFTWARE\\\\Microsoft\\\\",
                      "HKEY_LOCAL_MACHINE\\SOFTWARE\\MICROSOFT\\", "HKLMX\\SYSTEM", "HKLM",
                      "HKEY_LOCAL_MACHINE\\", "HKLM \\ SYSTEM", "HKCU", "HKEY_USERS\\S-1-5-18",
                      "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes", "hklm\\system\\currentcontrolset\\",
                      "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node"));

// A hive itself is refused by the subtree deletion too, before anything is listed.
using HiveRootTest = ProtectedKeyTest;
TEST_P(HiveRootTest, IsRefusedBySubtreeDeletionToo) {
  for (const char* key : kSystemKeys) fake.registry.CreatePath(key);
  const std::string text = GetParam() +
                           " cannot be deleted, as deleting it might cause the OS to "
                           "repair or re-install. ";
  EXPECT_EQ(reg.KillSubKey(GetParam(), err) + reg.KillSubKey64Bit(GetParam(), err), 0);
  EXPECT_THAT(Log(), ElementsAre("MSG : KillSubKey, path:" + GetParam(), "ERR : " + text,
                                 "MSG : KillSubKey64Bit, path:" + GetParam(), "ERR : " + text));
  for (const char* key : kSystemKeys) EXPECT_TRUE(fake.registry.HasKey(key)) << key;
}
INSTANTIATE_TEST_SUITE_P(Spellings, HiveRootTest,
                         ::testing::Values("HKLM", "hkey_current_user\\", "HKCR",
                                           "HKEY_USERS\\S-1-5-18", "HKUS\\S-1-5-18\\", " HKCC "));

// A link key met by a deletion goes by itself; the key it leads to keeps everything.
TEST_F(KeysTest, DeletionTakesLinksNotTheirTargets) {
  fake.registry.SetString("HKLM\\SOFTWARE\\Target\\Child", "c", "1");
  fake.registry.CreateLink("HKCU\\Software\\T\\L", "\\Registry\\Machine\\SOFTWARE\\Target");
  fake.registry.CreateLink("HKCU\\Software\\L", "\\REGISTRY\\MACHINE\\software\\target");
  EXPECT_NE(
      reg.KillKey("HKCU\\Software\\T", "Y", err) * reg.KillKey64bit("HKCU\\Software\\L", "Y", err),
      0);
  EXPECT_THAT(fake.registry.SubkeyNames("HKCU\\Software"), ::testing::IsEmpty());
  EXPECT_TRUE(fake.registry.Value("HKLM\\SOFTWARE\\Target\\Child", "c"));
}

TEST_F(KeysTest, SubkeysOfProtectedKeysAreNotProtected) {
  fake.registry.CreatePath("HKLM\\SYSTEM\\X");
  EXPECT_NE(reg.KillKey("HKEY_LOCAL_MACHINE\\SYSTEM\\X", "N", err), 0);
  EXPECT_EQ(err, "");
  EXPECT_FALSE(fake.registry.HasKey("HKLM\\SYSTEM\\X"));
  EXPECT_TRUE(fake.registry.HasKey("HKLM\\SYSTEM"));
}

TEST_F(KeysTest, KillKeyWithSubkeysNeedsExactlyY) {
  fake.registry.CreatePath("HKCU\\Software\\T\\A");
  for (const std::string opt : {"", "y", "N", "YES"}) {
    EXPECT_EQ(reg.KillKey("HKEY_CURRENT_USER\\Software\\T", opt, err), 0) << opt;
    EXPECT_EQ(err,
              "HKCU\\Software\\T key cannot be deleted as it has subkeys assoicated with it, and "
              "the script has not opted to delete the subkeys.");
  }
  EXPECT_TRUE(fake.registry.HasKey("HKCU\\Software\\T\\A"));
  EXPECT_NE(reg.KillKey("HKCU\\Software\\T", "Y", err), 0);
  EXPECT_EQ(err, "");
  EXPECT_FALSE(fake.registry.HasKey("HKCU\\Software\\T"));
}

TEST_F(KeysTest, KillSubKeyDeletesDepthFirstInEnumerationOrder) {
  for (const char* k : {"T\\b\\x", "T\\A\\B\\C", "T\\A\\B2"})
    fake.registry.CreatePath(std::string("HKCU\\Software\\") + k);
  EXPECT_NE(reg.KillSubKey64Bit("HKCU\\Software\\T", err), 0);
  EXPECT_EQ(err, "");
  for (std::uint32_t mask : registry.masks) EXPECT_EQ(mask & 0x300u, 0x100u) << mask;
  std::vector<std::string> deleted;
  for (const std::string& line : Log())
    if (line.rfind("MSG : Successfully deleted the key, ", 0) == 0)
      deleted.push_back(line.substr(36));
  EXPECT_THAT(deleted,
              ElementsAre("HKCU\\Software\\T\\A\\B\\C", "HKCU\\Software\\T\\A\\B",
                          "HKCU\\Software\\T\\A\\B2", "HKCU\\Software\\T\\A",
                          "HKCU\\Software\\T\\b\\x", "HKCU\\Software\\T\\b", "HKCU\\Software\\T"));
  EXPECT_TRUE(fake.registry.SubkeyNames("HKCU\\Software").empty());
}

TEST_F(KeysTest, FailedDeletionsReturnZeroWithTheirText) {
  EXPECT_EQ(reg.KillSubKey("HKCU\\Software\\Missing", err), 0);
  EXPECT_EQ(err, "Error while opening the sub key HKCU\\Software\\Missing, " + kNotFound);

  fake.registry.CreatePath("HKCU\\Software\\Leaf");
  registry.failDeleteOf = "Software\\Leaf";
  EXPECT_EQ(reg.KillSubKey("HKEY_CURRENT_USER\\Software\\Leaf", err), 0);
  EXPECT_EQ(err, "Error while deleting the sub key HKCU\\Software\\Leaf, 5-Access is denied.");
  EXPECT_EQ(Log().back(), "ERR : " + err);

  // A child that cannot be deleted keeps its parent: the parent's failure is reported.
  fake.registry.CreatePath("HKCU\\Software\\P\\child");
  registry.failDeleteOf = "Software\\P\\child";
  EXPECT_EQ(reg.KillKey("HKCU\\Software\\P", "Y", err), 0);
  EXPECT_EQ(err.rfind("Error while deleting the sub key HKCU\\Software\\P, 5-", 0), 0u) << err;
  EXPECT_TRUE(fake.registry.HasKey("HKCU\\Software\\P\\child"));
}
}  // namespace

namespace {
TEST_F(KeysTest, ThousandsOfSubkeysAreListedAndDeleted) {
  const int kMany = 2000;
  for (int i = 0; i < kMany; ++i)
    fake.registry.CreatePath("HKCU\\Software\\Many\\k" + std::to_string(i));
  std::vector<std::string> keys;
  EXPECT_EQ(reg.EnumKeys("HKCU\\Software\\Many", keys), kMany);
  EXPECT_NE(reg.KillKey("HKCU\\Software\\Many", "Y", err), 0);
  EXPECT_EQ(err, "");
  EXPECT_FALSE(fake.registry.HasKey("HKCU\\Software\\Many"));
}
}  // namespace

namespace {
TEST_F(KeysTest, VeryLongPathsFailOrSucceedConsistently) {
  std::string manyParts = "HKCU\\Software";
  while (manyParts.size() < 10000) manyParts += "\\part";
  const std::string twoParts = "HKCU\\" + std::string(200, 'a') + "\\";  // 201 of the subkey
  // Key names up to 256 characters and subkey paths up to 260 can be created; longer fail.
  const std::pair<std::string, bool> cases[] = {
      {"HKCU\\Software\\" + std::string(10000, 'k'), false},
      {manyParts, false},
      {"HKCU\\" + std::string(256, 'k'), true},
      {"HKCU\\" + std::string(257, 'k'), false},
      {twoParts + std::string(59, 'b'), true},
      {twoParts + std::string(60, 'b'), false},
  };
  for (const auto& [path, creatable] : cases) {
    SCOPED_TRACE(path.size());
    const bool created = reg.CreateKey(path, err) != 0;
    EXPECT_EQ(created, creatable);
    EXPECT_EQ(created, err.empty());
    EXPECT_EQ(reg.KeyExists(path), created);
    EXPECT_EQ(reg.WriteString(path, "v", "x", err) != 0, created);
    if (created) {
      EXPECT_NE(reg.KillSubKey(path, err), 0) << err;
    }
    EXPECT_FALSE(reg.KeyExists(path));
  }
}
}  // namespace
