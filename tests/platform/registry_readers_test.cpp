// The value readers on every registry backend: what they give for values at and around
// their buffer limits must not depend on the registry underneath. Message texts come from
// the fake System service, so an error text shows the registry's code.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "fakes/fake_platform.h"
#include "fakes/test_context.h"
#include "registry/registry_access.h"
#include "registry_backends.h"

namespace {
using namespace std::string_literals;
constexpr const char* kScratch = "Software\\qEnvReaders";
const std::string kPath = "HKEY_CURRENT_USER\\Software\\qEnvReaders";

class ReadersOnBackend : public ::testing::TestWithParam<RegistryBackend> {
 protected:
  void SetUp() override {
    backend_ = GetParam().open();
    ASSERT_TRUE(backend_);
    Registry& r = backend_->registry();
    Clear();
    ASSERT_EQ(0, r.CreateKey(reg::kCurrentUser, kScratch, key_));
    ctx_ = std::make_unique<TestContext>(Platform{r, fake_.system, fake_.environment, fake_.clock,
                                                  fake_.files, fake_.wmi, fake_.net, fake_.process,
                                                  fake_.window});
  }
  void TearDown() override {
    if (!backend_) return;
    backend_->registry().CloseKey(key_);
    Clear();
  }
  void Clear() {
    Registry& r = backend_->registry();
    RegKey key = 0;
    if (r.OpenKeyEx(reg::kCurrentUser, kScratch, reg::kKeyAllAccess, key) == 0) {
      char name[512];
      std::uint32_t size = sizeof name;
      while (r.EnumValue(key, 0, name, &size, nullptr, nullptr, nullptr) == 0) {
        r.DeleteValue(key, std::string(name, size));
        size = sizeof name;
      }
      r.CloseKey(key);
    }
    r.DeleteKey(reg::kCurrentUser, kScratch);
  }
  void Set(const std::string& name, std::uint32_t type, const std::string& bytes) {
    ASSERT_EQ(0, backend_->registry().SetValueEx(
                     key_, name, type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                     static_cast<std::uint32_t>(bytes.size())))
        << name;
  }
  clsRegistryAccess& access() { return ctx_->RegistryAccess(); }

  FakePlatform fake_;
  std::unique_ptr<RegistryUnderTest> backend_;
  std::unique_ptr<TestContext> ctx_;
  RegKey key_ = 0;
};

TEST_P(ReadersOnBackend, StringValuesAroundThe255ByteBuffer) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string text;
    std::string err;
  };
  const std::string guard = "Error while reading the string key HKCU\\Software\\qEnvReaders";
  const Case cases[] = {
      {"s253", std::string(253, 'a') + '\0', std::string(253, 'a'), ""},
      {"s254", std::string(254, 'a') + '\0', std::string(254, 'a'), ""},
      {"s255", std::string(255, 'a') + '\0', "", "234-More data is available."},
      {"s256", std::string(256, 'a') + '\0', "", "234-More data is available."},
      {"s100000", std::string(99999, 'a') + '\0', "", "234-More data is available."},
      // Stored without a NUL: the buffer's own NULs end 254 bytes; 255 leave none.
      {"raw254", std::string(254, 'r'), std::string(254, 'r'), ""},
      {"raw255", std::string(255, 'r'), "", guard + "[raw255], Invalid procedure call or argument"},
  };
  for (const Case& c : cases) Set(c.name, reg::kSz, c.bytes);
  for (const Case& c : cases) {
    std::string err;
    EXPECT_EQ(access().ReadString(kPath, c.name, err), c.text) << c.name;
    EXPECT_EQ(err, c.err) << c.name;
    EXPECT_TRUE(access().ValueExists(kPath, c.name)) << c.name;
  }
  std::string err;
  EXPECT_EQ(access().ReadString(kPath, "missing", err), "");
  EXPECT_EQ(err, "2-The system cannot find the file specified.");
  EXPECT_FALSE(access().ValueExists(kPath, "missing"));
}

TEST_P(ReadersOnBackend, BinaryDwordAndExpandableReadsAtTheirLimits) {
  const std::string big(100000, '\x5A');
  fake_.system.expandVariables = {{"Long", std::string(3000, 'L')}};
  Set("b100000", reg::kBinary, big);
  Set("b3", reg::kBinary, "\x01\x02\x0A");
  Set("e599", reg::kExpandSz, std::string(599, 'e') + '\0');
  Set("e600", reg::kExpandSz, std::string(600, 'e') + '\0');
  Set("long", reg::kSz, "%LONG%!\0"s);

  // Each byte as two digits and a 00 pair, two more pairs at the end.
  std::string bigText;
  for (int i = 0; i < 100000; ++i) bigText += "5A 00 ";
  EXPECT_EQ(access().ReadBinary(kPath, "b100000"), bigText + "00 00");
  EXPECT_EQ(access().ReadBinary(kPath, "b3"), "01 00 02 00 0A 00 00 00");
  EXPECT_EQ(access().ReadBinary(kPath, "missing"), "");
  EXPECT_EQ(access().ReadDWORD(kPath, "b3"), 0x0A0201);
  EXPECT_EQ(access().ReadDWORD(kPath, "b100000", 7), 0);
  EXPECT_EQ(access().ReadExpandableString(kPath, "e599"), std::string(599, 'e'));
  EXPECT_EQ(access().ReadExpandableString(kPath, "e600"), "");
  EXPECT_EQ(access().ReadExpandableString(kPath, "long"), std::string(3000, 'L') + "!");
}

TEST_P(ReadersOnBackend, OddPathsAndNamesFailWithTheSameCodeEverywhere) {
  const std::string notFound = "2-The system cannot find the file specified.";
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {"HKCU\\" + std::string(10000, 'k'), "v", "234-More data is available."},  // name too long
      {"HKCU\\\\\\", "v", "161"},
      {"HKCU\\\\Software", "v", "161"},
      {"\\\\\\", "v", "6-The handle is invalid."},
      {"HKCU\\Software\\\xE9\xE8", "v", notFound},
      {"HKCU\\Software\\", "v", notFound},
      {"HKCU\\Software", "a\0b"s, notFound},
      {"HKCU\\Software", std::string(20000, 'n'), notFound},
  };
  for (const auto& [path, name, text] : cases) {
    std::string err;
    EXPECT_EQ(access().ReadString(path, name, err), "");
    EXPECT_EQ(err, text) << path.substr(0, 40);
  }
}

INSTANTIATE_TEST_SUITE_P(Backends, ReadersOnBackend, ::testing::ValuesIn(RegistryBackends()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
