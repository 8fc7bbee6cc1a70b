// Placeholder until this build's registry backend lands: every call fails as an invalid
// handle does.
#include <memory>

#include "platform/registry.h"

namespace {
class UnavailableRegistry final : public Registry {
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
    return win32_error::kInvalidHandle;
  }
  long SetValueEx(RegKey, const std::string&, std::uint32_t, const std::uint8_t*,
                  std::uint32_t) override {
    return win32_error::kInvalidHandle;
  }
  long EnumKeyEx(RegKey, std::uint32_t, char*, std::uint32_t*) override {
    return win32_error::kInvalidHandle;
  }
  long EnumValue(RegKey, std::uint32_t, char*, std::uint32_t*, std::uint32_t*, std::uint8_t*,
                 std::uint32_t*) override {
    return win32_error::kInvalidHandle;
  }
  long DeleteKey(RegKey, const std::string&) override { return win32_error::kInvalidHandle; }
  long DeleteValue(RegKey, const std::string&) override { return win32_error::kInvalidHandle; }
  long CloseKey(RegKey) override { return win32_error::kInvalidHandle; }

 private:
  static long Fail(RegKey& r) {
    r = 0;
    return win32_error::kInvalidHandle;
  }
};
}  // namespace

std::unique_ptr<Registry> CreateRegistry() {
  return std::make_unique<UnavailableRegistry>();
}
