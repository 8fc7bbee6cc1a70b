// The process environment through kernel32 (names already match without regard to case).
#include "platform/environment.h"

#include "platform/win32/win32_api.h"
// after windows.h
#include <memory>
#include <string>

namespace {
class Win32Environment final : public Environment {
 public:
  std::string GetVariable(const std::string& name) override {
    if (name.empty()) return "";
    std::string value(256, '\0');
    for (;;) {
      SetLastError(0);
      DWORD n =
          GetEnvironmentVariableA(name.c_str(), value.data(), static_cast<DWORD>(value.size()));
      if (n == 0) return "";
      if (n < value.size()) {
        value.resize(n);
        return value;
      }
      value.assign(n, '\0');
    }
  }
};
}  // namespace

std::unique_ptr<Environment> CreateEnvironment() {
  return std::make_unique<Win32Environment>();
}
