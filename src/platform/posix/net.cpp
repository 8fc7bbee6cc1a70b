// The host-name lookup on POSIX. The machine's own name answers with the first IPv4
// address of its interfaces that is not a loopback one, as Windows Sockets answers from
// the adapters; there is no sockets library to start or stop.
#include "platform/net.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

bool SameNameNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

std::string HostName() {
  char buf[256] = {};
  if (::gethostname(buf, sizeof buf - 1) != 0) return "";
  std::string name(buf);
  // The computer name is the first label, as Windows reports it.
  const std::size_t dot = name.find('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

class PosixNet final : public Net {
 public:
  int Startup(std::uint16_t) override { return 0; }
  void Cleanup() override {}

  bool GetHostByName(const std::string& name, HostRecord& record) override {
    if (name.empty() || !SameNameNoCase(name, HostName())) return false;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return false;
    std::string address;
    for (const ifaddrs* it = list; it; it = it->ifa_next) {
      if (!it->ifa_addr || it->ifa_addr->sa_family != AF_INET) continue;
      if (it->ifa_flags & IFF_LOOPBACK) continue;
      if (!(it->ifa_flags & IFF_UP)) continue;
      in_addr in{};
      std::memcpy(&in, &reinterpret_cast<const sockaddr_in*>(it->ifa_addr)->sin_addr, sizeof in);
      address.assign(reinterpret_cast<const char*>(&in), 4);  // already network byte order
      break;
    }
    ::freeifaddrs(list);
    if (address.empty()) return false;
    record = HostRecord{};
    record.addressLength = 4;
    record.addresses.push_back(address);
    return true;
  }
};

}  // namespace

std::unique_ptr<Net> CreateNet() {
  return std::make_unique<PosixNet>();
}
