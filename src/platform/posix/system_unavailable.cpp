// Placeholder until this build's System service lands: every call fails.
#include <memory>

#include "platform/system.h"

namespace {
class UnavailableSystem final : public System {
 public:
  bool GetComputerName(char*, std::uint32_t&) override { return false; }
  bool GetUserName(char*, std::uint32_t&) override { return false; }
  bool GetVersionEx(OsVersionInfo&) override { return false; }
  std::uint32_t GetVersion() override { return 0; }
  bool OpenProcessToken(std::uint32_t, std::uintptr_t& t) override {
    t = 0;
    return false;
  }
  bool GetUserProfileDirectory(std::uintptr_t, char*, std::uint32_t&) override { return false; }
  void CloseToken(std::uintptr_t) override {}
  std::uint32_t GetShortPathName(const std::string&, char*, std::uint32_t) override { return 0; }
  std::uint32_t GetSystemDirectory(char*, std::uint32_t) override { return 0; }
  long GetSpecialFolderPath(int, std::string& path) override {
    path.clear();
    return 1;
  }
  std::uint32_t FormatMessage(std::uint32_t, char*, std::uint32_t) override { return 0; }
  std::uint32_t GetLastError() override { return 0; }
  std::uint32_t ExpandEnvironmentStrings(const std::string&, char*, std::uint32_t) override {
    return 0;
  }
};
}  // namespace

std::unique_ptr<System> CreateSystem() {
  return std::make_unique<UnavailableSystem>();
}
