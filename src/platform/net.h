#pragma once
// The Windows Sockets host-name lookup.
#include <cstdint>
#include <string>
#include <vector>

struct HostRecord {
  std::int16_t addressLength = 0;
  // Each entry holds addressLength bytes in network byte order.
  std::vector<std::string> addresses;
};

class Net {
 public:
  virtual ~Net() = default;
  virtual int Startup(std::uint16_t version) = 0;  // WSAStartup
  virtual void Cleanup() = 0;                      // WSACleanup
  // gethostbyname: false when the lookup gives no record.
  virtual bool GetHostByName(const std::string& name, HostRecord& record) = 0;
};
