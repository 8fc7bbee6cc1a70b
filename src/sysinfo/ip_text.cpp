#include "sysinfo/ip_text.h"

#include "text/text_util.h"

bool IsIPv4Address(const std::string& text) {
  // inet_pton's rules for AF_INET: four decimal parts of 0 to 255 between three dots,
  // without a leading zero (that would read as octal elsewhere), nothing else.
  int parts = 0;
  int value = -1;  // -1: no digit yet in this part
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      if (value == 0) return false;
      value = (value < 0 ? 0 : value * 10) + (c - '0');
      if (value > 255) return false;
    } else if (c == '.' && value >= 0 && parts < 3) {
      ++parts;
      value = -1;
    } else {
      return false;
    }
  }
  return parts == 3 && value >= 0;
}

bool IpConfigLineAddress(const std::string& line, std::string& address) {
  if (!text::ContainsNoCase(line, "IP Address") && !text::ContainsNoCase(line, "IPv4 Address"))
    return false;
  const std::size_t colon = line.find(':');
  std::string text = text::Trim(colon == std::string::npos ? line : line.substr(colon + 1));
  text = text::ReplaceAll(text, "\r", "");
  static const std::string kPreferred = "(Preferred)";
  if (text.size() >= kPreferred.size() &&
      text::EqualsNoCase(text.substr(text.size() - kPreferred.size()), kPreferred))
    text = text::Trim(text.substr(0, text.size() - kPreferred.size()));
  // Windows XP lists its IPv6 addresses under "IP Address" too; whatever else the line
  // holds is no address either.
  if (!IsIPv4Address(text)) return false;
  address = text;
  return true;
}

bool NbtStatLineAddress(const std::string& line, std::string& address) {
  static const std::string kPrefix = "Node IpAddress: [";
  if (!text::ContainsNoCase(line, kPrefix)) return false;
  const std::string rest = text::Trim(text::ReplaceNoCase(line, kPrefix, ""));
  const std::size_t close = rest.find(']');
  if (close == std::string::npos || !IsIPv4Address(rest.substr(0, close))) return false;
  address = rest.substr(0, close);
  return true;
}
