#include "reg_text.h"

#include <cstdint>

namespace qreg {
namespace {

// The code points of the bytes 0x80 to 0x9F in Windows-1252; the five it leaves undefined
// keep their own value.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t FromAnsi(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte;
}

char ToAnsi(std::uint32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == cp) return static_cast<char>(0x80 + i);
  return '?';
}

}  // namespace

std::string Utf16FromAnsi(const std::string& ansi) {
  std::string out;
  for (unsigned char c : ansi) {
    const char16_t u = FromAnsi(c);
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  }
  return out;
}

std::string AnsiFromUtf16(const std::string& utf16) {
  std::string out;
  for (std::size_t i = 0; i + 1 < utf16.size(); i += 2) {
    const std::uint32_t u =
        static_cast<unsigned char>(utf16[i]) |
        (static_cast<std::uint32_t>(static_cast<unsigned char>(utf16[i + 1])) << 8);
    // A surrogate pair is one character outside the code page.
    if (u >= 0xD800 && u < 0xDC00 && i + 3 < utf16.size()) {
      const unsigned next = static_cast<unsigned char>(utf16[i + 3]);
      if (next >= 0xDC && next < 0xE0) i += 2;
    }
    out += ToAnsi(u);
  }
  return out;
}

std::string AnsiFromUtf8(const std::string& utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const int extra = c < 0x80             ? 0
                      : (c & 0xE0) == 0xC0 ? 1
                      : (c & 0xF0) == 0xE0 ? 2
                      : (c & 0xF8) == 0xF0 ? 3
                                           : -1;
    std::uint32_t cp = extra == 1 ? c & 0x1F : extra == 2 ? c & 0x0F : extra == 3 ? c & 0x07 : c;
    bool ok = extra >= 0 && i + static_cast<std::size_t>(extra) < utf8.size();
    for (int k = 1; ok && k <= extra; ++k) {
      const auto cont = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
      ok = (cont & 0xC0) == 0x80;
      cp = (cp << 6) | (cont & 0x3F);
    }
    if (!ok) {
      out += '?';
      ++i;
      continue;
    }
    out += ToAnsi(cp);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

}  // namespace qreg
