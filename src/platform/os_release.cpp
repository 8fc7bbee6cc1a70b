#include "platform/os_release.h"

namespace {

std::string Unquote(const std::string& raw) {
  if (raw.size() >= 2 && raw.front() == '\'' && raw.back() == '\'')
    return raw.substr(1, raw.size() - 2);
  if (raw.size() >= 2 && raw.front() == '"' && raw.back() == '"') {
    std::string out;
    for (std::size_t i = 1; i + 1 < raw.size(); ++i) {
      if (raw[i] == '\\' && i + 2 < raw.size()) ++i;
      out += raw[i];
    }
    return out;
  }
  return raw;
}

}  // namespace

std::map<std::string, std::string> ParseOsRelease(const std::string& content) {
  std::map<std::string, std::string> fields;
  std::size_t pos = 0;
  while (pos < content.size()) {
    std::size_t end = content.find('\n', pos);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    const std::size_t eq = line.find('=', first);
    if (eq == std::string::npos) continue;
    std::string key = line.substr(first, eq - first);
    std::string value = line.substr(eq + 1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
    fields[key] = Unquote(value);
  }
  return fields;
}
