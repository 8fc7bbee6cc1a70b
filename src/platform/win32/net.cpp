// The host-name lookup through Windows Sockets 1.1 (wsock32), loaded from the system folder
// when a run first needs it; without it Startup fails and no name is found.
#include "platform/net.h"

#include "platform/win32/win32_api.h"
// after windows.h
#include <winsock.h>

#include <memory>
#include <string>

#include "platform/win32/system_dll.h"

namespace {

constexpr char kSockets[] = "wsock32.dll";

class Win32Net final : public Net {
 public:
  int Startup(std::uint16_t version) override {
    const auto startup = system_dll::Get<decltype(&::WSAStartup)>(kSockets, "WSAStartup");
    if (startup == nullptr) return WSASYSNOTREADY;
    WSADATA data{};
    return startup(version, &data);
  }
  void Cleanup() override {
    if (const auto cleanup = system_dll::Get<decltype(&::WSACleanup)>(kSockets, "WSACleanup"))
      cleanup();
  }

  bool GetHostByName(const std::string& name, HostRecord& record) override {
    const auto lookup = system_dll::Get<decltype(&::gethostbyname)>(kSockets, "gethostbyname");
    if (lookup == nullptr) return false;
    const hostent* host = lookup(name.c_str());
    if (!host) return false;
    record = HostRecord{};
    record.addressLength = host->h_length;
    if (host->h_length <= 0 || !host->h_addr_list) return true;
    for (char** entry = host->h_addr_list; *entry; ++entry)
      record.addresses.emplace_back(*entry, static_cast<std::size_t>(host->h_length));
    return true;
  }
};

}  // namespace

std::unique_ptr<Net> CreateNet() {
  return std::make_unique<Win32Net>();
}
