#include "fakes/fake_system.h"

namespace {
std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}
}  // namespace

std::uint32_t FakeSystem::ExpandEnvironmentStrings(const std::string& source, char* buffer,
                                                   std::uint32_t capacity) {
  std::string out;
  std::size_t i = 0;
  while (i < source.size()) {
    std::size_t open = source.find('%', i);
    if (open == std::string::npos) {
      out += source.substr(i);
      break;
    }
    std::size_t close = source.find('%', open + 1);
    if (close == std::string::npos) {
      out += source.substr(i);
      break;
    }
    out += source.substr(i, open - i);
    const std::string name = source.substr(open + 1, close - open - 1);
    bool found = false;
    for (const auto& [k, v] : expandVariables)
      if (Upper(k) == Upper(name)) {
        out += v;
        found = true;
        break;
      }
    if (!found) out += source.substr(open, close - open + 1);
    i = close + 1;
  }
  const auto needed = static_cast<std::uint32_t>(out.size() + 1);
  if (needed <= capacity) std::memcpy(buffer, out.c_str(), out.size() + 1);
  return needed;
}
