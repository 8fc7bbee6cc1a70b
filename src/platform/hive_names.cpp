#include "platform/hive_names.h"

namespace {
char UpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
}
}  // namespace

const HiveName* FindHiveName(std::string_view name) {
  for (const HiveName& h : kHiveNames)
    if (EqualsNoCase(name, h.token) || EqualsNoCase(name, h.longName)) return &h;
  return nullptr;
}
