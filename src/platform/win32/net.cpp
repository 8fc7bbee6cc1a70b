// The host-name lookup through Windows Sockets 1.1 (wsock32).
#include "platform/win32/win32_api.h"
// after windows.h
#include <winsock.h>

#include <memory>
#include <string>

#include "platform/net.h"

namespace {

class Win32Net final : public Net {
 public:
  int Startup(std::uint16_t version) override {
    WSADATA data{};
    return WSAStartup(version, &data);
  }
  void Cleanup() override { WSACleanup(); }

  bool GetHostByName(const std::string& name, HostRecord& record) override {
    const hostent* host = gethostbyname(name.c_str());
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
