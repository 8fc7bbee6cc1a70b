// StrToBin, BinToStr and isBinValid on any bytes: the hex text of any data has its fixed
// shape, and valid hex input survives the way to data and back to text.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>

#include "registry/registry_access.h"
#include "support/check.h"

namespace {
std::string WithoutSpaces(const std::string& s) {
  std::string out;
  for (char c : s)
    if (c != ' ') out += c;
  return out;
}

bool AllHex(const std::string& s) {
  for (unsigned char c : s)
    if (!std::isxdigit(c)) return false;
  return !s.empty();
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// The two-digit pieces of a hex text, each followed by its " 00", without the closing
// " 00 00": the data's digits again.
std::string DigitsOf(const std::string& hexText) {
  std::string digits;
  std::size_t i = 0;
  while (i + 5 < hexText.size()) {
    FUZZ_CHECK(hexText.compare(i + 2, 3, " 00") == 0);
    digits += hexText.substr(i, 2);
    i += 6;
  }
  FUZZ_CHECK(hexText.substr(i) == "00 00" || hexText.empty());
  return digits;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);

  // Any data: 6n + 5 characters of text, its digits the data's bytes.
  const std::string text = clsRegistryAccess::BinToStr(input);
  FUZZ_CHECK(text.size() == (input.empty() ? 0 : 6 * input.size() + 5));
  const std::string digits = DigitsOf(text);
  std::string again = digits;
  FUZZ_CHECK(clsRegistryAccess::StrToBin(again) == input);

  // Any text: the validity test says "hex digits only, spaces aside"; the argument comes
  // back without its spaces.
  const bool valid = clsRegistryAccess::isBinValid(input);
  FUZZ_CHECK(valid == AllHex(WithoutSpaces(input)));
  std::string argument = input;
  const std::string binary = clsRegistryAccess::StrToBin(argument);
  FUZZ_CHECK(argument == WithoutSpaces(input));
  FUZZ_CHECK(binary.size() <= argument.size() / 2 + 1);
  if (valid && argument.size() % 2 == 0)
    FUZZ_CHECK(DigitsOf(clsRegistryAccess::BinToStr(binary)) == Upper(argument));
  return 0;
}
