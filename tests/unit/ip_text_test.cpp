#include "sysinfo/ip_text.h"

#include <gtest/gtest.h>

namespace {

struct LineCase {
  std::string line;
  bool matches;
  std::string address;
};

TEST(IpConfigLine, TakesIPv4LinesOfEveryWindowsGeneration) {
  const LineCase cases[] = {
      // Windows XP / 2003
      {"        IP Address. . . . . . . . . . . . : 192.168.1.10", true, "192.168.1.10"},
      {"        IP Address. . . . . . . . . . . . : 192.168.1.10\r", true, "192.168.1.10"},
      {"ip address: 10.1.2.3", true, "10.1.2.3"},
      // Vista and later, and Wine
      {"   IPv4 Address. . . . . . . . . . . : 192.168.1.10(Preferred) ", true, "192.168.1.10"},
      {"   IPv4 Address. . . . . . . . . . . : 10.0.0.5 (preferred)\r", true, "10.0.0.5"},
      {"    IPv4 address. . . . . . . . . . . : 192.0.2.2", true, "192.0.2.2"},
      {"   Autoconfiguration IPv4 Address. . : 169.254.3.4", true, "169.254.3.4"},
      // The address text is everything after the first colon (no colon, the whole line),
      // and it must be an IPv4 address as inet_pton reads one.
      {"IP Address", false, ""},
      {"IP Address:  a:b", false, ""},
      {"IP Address: 10.0.0.256", false, ""},
      {"IP Address: 10.0.0.05", false, ""},
      {"IP Address: 10.0.0", false, ""},
      {"IP Address: 10.0.0.1.", false, ""},
      {"IP Address: 10.0.0.1 ; touch /x", false, ""},
      {"IP Address: 0.0.0.0", true, "0.0.0.0"},
      {"IP Address: 255.255.255.255", true, "255.255.255.255"},
      // Never IPv6, whichever label it has.
      {"   Link-local IPv6 Address . . . . . : fe80::1c2b:3d4e%11", false, ""},
      {"   IPv6 Address. . . . . . . . . . . : 2001:db8::5(Preferred)", false, ""},
      {"        IP Address. . . . . . . . . . . . : fe80::5efe:10.0.0.1%2", false, ""},
      {"   Subnet Mask . . . . . . . . . . . : 255.255.255.0", false, ""},
      {"   Default Gateway . . . . . . . . . : 192.168.1.1", false, ""},
      {"", false, ""},
      {std::string("\x00\xff IP\x00"
                   "Address: 1.2.3.4",
                   22),
       false, ""},
  };
  for (const LineCase& c : cases) {
    std::string address = "untouched";
    EXPECT_EQ(IpConfigLineAddress(c.line, address), c.matches) << c.line;
    EXPECT_EQ(address, c.matches ? c.address : "untouched") << c.line;
  }
}

TEST(NbtStatLine, AddressBetweenPrefixAndBracket) {
  const LineCase cases[] = {
      {"    Node IpAddress: [192.168.1.10] Scope Id: []", true, "192.168.1.10"},
      {"node ipaddress: [10.0.0.5]\r", true, "10.0.0.5"},
      {"Node IpAddress: [ 10.0.0.6]", true, "10.0.0.6"},
      {"Node IpAddress: [ 10.0.0.6 ]", false, ""},  // a blank is no part of an address
      {"Node IpAddress: [10.0.0.x]", false, ""},
      {"Node IpAddress: [Node IpAddress: [10.0.0.7]", true, "10.0.0.7"},
      {"    Node IpAddress: [192.168.1.10 Scope Id: ", false, ""},
      {"    Node IpAddress [192.168.1.10]", false, ""},
      {"Host not found.", false, ""},
  };
  for (const LineCase& c : cases) {
    std::string address = "untouched";
    EXPECT_EQ(NbtStatLineAddress(c.line, address), c.matches) << c.line;
    EXPECT_EQ(address, c.matches ? c.address : "untouched") << c.line;
  }
}

}  // namespace
