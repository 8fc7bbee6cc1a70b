// The class's hex text for binary data: one character per byte on the binary side; on the
// text side two hex digits and " 00" per character, closed by " 00 00".
#include "registry/registry_access.h"

#include "text/text_util.h"

namespace {
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A piece read as a hexadecimal number: as far as its leading hex digits go, 0 without any.
char PieceValue(const std::string& piece) {
  int value = 0;
  for (char c : piece) {
    const int d = HexDigit(c);
    if (d < 0) break;
    value = value * 16 + d;
  }
  return static_cast<char>(value);
}

// Half the length rounded to the nearest whole number, ties to even: 5 digits give 2 pieces
// (the last digit is dropped), 7 give 4 (the last digit is read alone), 1 gives none.
std::size_t PieceCount(std::size_t length) {
  const std::size_t half = length / 2;
  return length % 2 == 1 && half % 2 == 1 ? half + 1 : half;
}

std::string RemoveSpaces(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s)
    if (c != ' ') out += c;
  return out;
}
}  // namespace

std::string clsRegistryAccess::StrToBin(std::string& sBin) {
  sBin = text::Trim(RemoveSpaces(sBin));
  if (sBin.empty()) return "";
  const std::size_t pieces = PieceCount(sBin.size());
  std::string out;
  out.reserve(pieces);
  for (std::size_t i = 0; i < pieces; ++i) out += PieceValue(sBin.substr(2 * i, 2));
  return out;
}

std::string clsRegistryAccess::BinToStr(const std::string& sStr) {
  if (sStr.empty()) return "";
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(sStr.size() * 6 + 5);
  for (std::size_t i = 0; i < sStr.size(); ++i) {
    const auto byte = static_cast<unsigned char>(sStr[i]);
    if (i > 0) out += ' ';
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0x0F];
    out += " 00";
  }
  out += " 00 00";
  return out;
}

bool clsRegistryAccess::isBinValid(std::string sBin) {
  sBin = text::Trim(text::UpperAscii(RemoveSpaces(sBin)));
  if (sBin.empty()) return false;
  for (char c : sBin)
    if (HexDigit(c) < 0) return false;
  return true;
}
