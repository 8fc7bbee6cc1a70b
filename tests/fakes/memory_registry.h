#pragma once
// An in-memory registry for unit tests. (Placeholder: every call fails as an invalid
// handle does, until the registry issue gives it the store's semantics.)
#include "platform/registry.h"

class MemoryRegistry : public Registry {
 public:
  long OpenKey(RegKey, const std::string&, RegKey& r) override { return Fail(r); }
  long OpenKeyEx(RegKey, const std::string&, std::uint32_t, RegKey& r) override { return Fail(r); }
  long CreateKey(RegKey, const std::string&, RegKey& r) override { return Fail(r); }
  long CreateKeyEx(RegKey, const std::string&, const std::string&, std::uint32_t, std::uint32_t,
                   RegKey& r, std::uint32_t*) override {
    return Fail(r);
  }
  long QueryValueEx(RegKey, const std::string&, std::uint32_t*, std::uint8_t*,
                    std::uint32_t*) override {
    return 6;
  }
  long SetValueEx(RegKey, const std::string&, std::uint32_t, const std::uint8_t*,
                  std::uint32_t) override {
    return 6;
  }
  long EnumKeyEx(RegKey, std::uint32_t, char*, std::uint32_t*) override { return 6; }
  long EnumValue(RegKey, std::uint32_t, char*, std::uint32_t*, std::uint32_t*, std::uint8_t*,
                 std::uint32_t*) override {
    return 6;
  }
  long DeleteKey(RegKey, const std::string&) override { return 6; }
  long DeleteValue(RegKey, const std::string&) override { return 6; }
  long CloseKey(RegKey) override { return 6; }

 private:
  static long Fail(RegKey& r) {
    r = 0;
    return 6;
  }
};
