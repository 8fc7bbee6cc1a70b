#include "sysinfo/ip_text.h"

#include "text/text_util.h"

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
  // Windows XP lists its IPv6 addresses under "IP Address" too.
  if (text.find(':') != std::string::npos) return false;
  address = text;
  return true;
}

bool NbtStatLineAddress(const std::string& line, std::string& address) {
  static const std::string kPrefix = "Node IpAddress: [";
  if (!text::ContainsNoCase(line, kPrefix)) return false;
  const std::string rest = text::Trim(text::ReplaceNoCase(line, kPrefix, ""));
  const std::size_t close = rest.find(']');
  if (close == std::string::npos) return false;
  address = rest.substr(0, close);
  return true;
}
