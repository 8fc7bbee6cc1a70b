// The seeding helpers other suites build their registries with.
#include <gtest/gtest.h>

#include "fakes/memory_registry.h"

namespace {
TEST(MemoryRegistry, HelpersSeedWhatTheRegistryCallsRead) {
  MemoryRegistry registry;
  registry.SetString("HKEY_LOCAL_MACHINE\\SOFTWARE\\DORAZA", "RegID", "R-1");
  registry.SetDword("hklm\\software\\doraza", "TYPE", 0x01020304);
  registry.SetRaw("HKCU\\T", "b", reg::kBinary, std::string("\x01\x00", 2));

  RegKey key = 0;
  ASSERT_EQ(0, registry.OpenKeyEx(reg::kLocalMachine, "Software\\Doraza", reg::kKeyRead, key));
  char text[16];
  std::uint32_t size = sizeof text;
  std::uint32_t type = 0;
  ASSERT_EQ(
      0, registry.QueryValueEx(key, "regid", &type, reinterpret_cast<std::uint8_t*>(text), &size));
  EXPECT_EQ(reg::kSz, type);
  EXPECT_EQ(std::string("R-1\0", 4), std::string(text, size));
  registry.CloseKey(key);
  EXPECT_EQ(0u, registry.OpenHandleCount()) << "helpers close what they open";

  auto dword = registry.Value("HKLM\\SOFTWARE\\DORAZA", "type");
  ASSERT_TRUE(dword);
  EXPECT_EQ(reg::kDword, dword->type);
  EXPECT_EQ(std::string("\x04\x03\x02\x01", 4), dword->data);
  EXPECT_EQ(std::string("\x01\x00", 2), registry.Value("HKCU\\T", "b")->data);
  EXPECT_FALSE(registry.Value("HKCU\\T", "missing"));
  EXPECT_FALSE(registry.Value("HKCU\\Missing", "b"));
  EXPECT_TRUE(registry.HasKey("HKEY_CURRENT_USER\\t"));
  EXPECT_FALSE(registry.HasKey("HKUS\\t"));
  EXPECT_EQ((std::vector<std::string>{"RegID", "TYPE"}),
            registry.ValueNames("HKLM\\SOFTWARE\\DORAZA"));
  EXPECT_EQ(std::vector<std::string>{"DORAZA"}, registry.SubkeyNames("HKLM\\SOFTWARE"));
  EXPECT_THROW(registry.SetString("HKU\\X", "v", "x"), std::logic_error) << "unknown hive";
}

TEST(MemoryRegistry, FailingStorageFailsEveryCall) {
  MemoryRegistry registry;
  registry.CreatePath("HKCU\\A");
  registry.storage().failWith = 1010;
  RegKey key = 0;
  EXPECT_EQ(1010, registry.OpenKeyEx(reg::kCurrentUser, "A", reg::kKeyRead, key));
  EXPECT_EQ(1010, registry.CreateKey(reg::kCurrentUser, "A\\B\\C", key));
  registry.storage().failWith = 0;
  EXPECT_FALSE(registry.HasKey("HKCU\\A\\B"));
  EXPECT_TRUE(registry.HasKey("HKCU\\A"));
}
}  // namespace
