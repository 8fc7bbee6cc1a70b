#pragma once
// The line rules of the console IP lookups, kept free of I/O so that any text can be fed
// to them.
#include <string>

// Whether text is a dotted IPv4 address as inet_pton reads one: exactly four parts of 0
// to 255, no leading zeros, no blanks.
bool IsIPv4Address(const std::string& text);

// An ipconfig line that names an IPv4 address ("IP Address. . . : 10.0.0.5" up to Windows
// 2003, "IPv4 Address. . . : 10.0.0.5(Preferred)" since Vista; any case). On true,
// address is the text after the first ":" (the whole line when there is none), trimmed,
// without carriage returns and without a trailing "(Preferred)". A text that is no IPv4
// address (IPv6, or anything else) gives false.
bool IpConfigLineAddress(const std::string& line, std::string& address);

// An NBTSTAT line "Node IpAddress: [10.0.0.5] Scope Id: []" (prefix in any case). On true,
// address is the text between the removed prefix and the first "]", trimmed at its start.
// A line with the prefix and no "]", or whose text there is no IPv4 address, gives false.
bool NbtStatLineAddress(const std::string& line, std::string& address);
