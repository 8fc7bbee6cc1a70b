#pragma once
// A clsRegistryAccess on the in-memory registry, behind a layer that can make chosen
// registry calls fail, with the log read back one batch at a time.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "fakes/fake_platform.h"
#include "fakes/test_context.h"
#include "registry/registry_access.h"
#include "run/run_context.h"

class FaultInjectingRegistry : public Registry {
 public:
  explicit FaultInjectingRegistry(MemoryRegistry& inner) : inner_(inner) {}
  long OpenKey(RegKey root, const std::string& sub, RegKey& r) override {
    return inner_.OpenKey(root, sub, r);
  }
  long OpenKeyEx(RegKey root, const std::string& sub, std::uint32_t mask, RegKey& r) override {
    masks.push_back(mask);
    const long rc = inner_.OpenKeyEx(root, sub, mask, r);
    if (rc == 0) opened_[r] = sub;
    return rc;
  }
  long OpenKeyExOptions(RegKey root, const std::string& sub, std::uint32_t options,
                        std::uint32_t mask, RegKey& r) override {
    return inner_.OpenKeyExOptions(root, sub, options, mask, r);
  }
  long CreateKey(RegKey root, const std::string& sub, RegKey& r) override {
    return inner_.CreateKey(root, sub, r);
  }
  long CreateKeyEx(RegKey root, const std::string& sub, const std::string& cls,
                   std::uint32_t options, std::uint32_t mask, RegKey& r,
                   std::uint32_t* disposition) override {
    masks.push_back(mask);
    return inner_.CreateKeyEx(root, sub, cls, options, mask, r, disposition);
  }
  long QueryValueEx(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override {
    return inner_.QueryValueEx(key, name, type, data, size);
  }
  long SetValueEx(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override {
    if (setValueFails) return setValueFails;
    return inner_.SetValueEx(key, name, type, data, size);
  }
  long EnumKeyEx(RegKey key, std::uint32_t index, char* name, std::uint32_t* size) override {
    return inner_.EnumKeyEx(key, index, name, size);
  }
  long EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                 std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) override {
    return inner_.EnumValue(key, index, name, nameSize, type, data, dataSize);
  }
  long DeleteKey(RegKey key, const std::string& sub) override {
    // The key opened as failDeleteOf cannot be deleted.
    auto it = opened_.find(key);
    if (!failDeleteOf.empty() && it != opened_.end() && it->second == failDeleteOf) return 5;
    return inner_.DeleteKey(key, sub);
  }
  long DeleteValue(RegKey key, const std::string& name) override {
    if (deleteValueFails) return deleteValueFails;
    return inner_.DeleteValue(key, name);
  }
  long CloseKey(RegKey key) override { return inner_.CloseKey(key); }

  long setValueFails = 0;
  long deleteValueFails = 0;
  std::string failDeleteOf;  // a subkey path, as opened with OpenKeyEx
  std::vector<std::uint32_t> masks;

 private:
  MemoryRegistry& inner_;
  std::map<RegKey, std::string> opened_;
};

class RegistryTest : public ::testing::Test {
 protected:
  RegistryTest()
      : ctx(Platform{registry, fake.system, fake.environment, fake.clock, fake.files, fake.wmi,
                     fake.net, fake.process, fake.window}),
        reg(ctx) {
    ctx.LogStream = fake.files.CreateTextFile("log.txt", true);
  }
  ~RegistryTest() override {
    // Every operation closes what it opened.
    EXPECT_EQ(fake.registry.OpenHandleCount(), 0u);
  }

  // The messages logged since the last call.
  std::vector<std::string> Log() {
    ctx.LogStream->Close();
    const std::string content = fake.files.Content("log.txt");
    ctx.LogStream = fake.files.CreateTextFile("log.txt", true);
    return LogMessagesIn(content);
  }

  FakePlatform fake;
  FaultInjectingRegistry registry{fake.registry};
  TestContext ctx;
  clsRegistryAccess reg;
  std::string err;
};
