#include "text/text_util.h"

namespace text {

namespace {
char Up(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}
char Low(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
}  // namespace

std::string Trim(const std::string& s) {
  const std::size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return "";
  const std::size_t e = s.find_last_not_of(' ');
  return s.substr(b, e - b + 1);
}

std::string UpperAscii(std::string s) {
  for (char& c : s) c = Up(c);
  return s;
}

std::string LowerAscii(std::string s) {
  for (char& c : s) c = Low(c);
  return s;
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Up(a[i]) != Up(b[i])) return false;
  return true;
}

std::size_t FindNoCase(const std::string& hay, const std::string& needle, std::size_t from) {
  if (needle.empty()) return from <= hay.size() ? from : std::string::npos;
  if (hay.size() < needle.size()) return std::string::npos;
  for (std::size_t i = from; i + needle.size() <= hay.size(); ++i) {
    std::size_t k = 0;
    while (k < needle.size() && Up(hay[i + k]) == Up(needle[k])) ++k;
    if (k == needle.size()) return i;
  }
  return std::string::npos;
}

bool ContainsNoCase(const std::string& hay, const std::string& needle) {
  return FindNoCase(hay, needle) != std::string::npos;
}

namespace {
// Every match of `from` that find(pos) reports, left to right, replaced by `to`.
template <typename Find>
std::string ReplaceEach(const std::string& s, std::size_t fromSize, const std::string& to,
                        Find find) {
  std::string out;
  std::size_t pos = 0;
  for (;;) {
    const std::size_t hit = find(pos);
    if (hit == std::string::npos) break;
    out.append(s, pos, hit - pos);
    out += to;
    pos = hit + fromSize;
  }
  out.append(s, pos, std::string::npos);
  return out;
}
}  // namespace

std::string ReplaceNoCase(const std::string& s, const std::string& from, const std::string& to) {
  if (from.empty()) return s;
  return ReplaceEach(s, from.size(), to, [&](std::size_t pos) { return FindNoCase(s, from, pos); });
}

std::string ReplaceAll(const std::string& s, const std::string& from, const std::string& to) {
  if (from.empty()) return s;
  return ReplaceEach(s, from.size(), to, [&](std::size_t pos) { return s.find(from, pos); });
}

}  // namespace text
