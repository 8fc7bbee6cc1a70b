// The numeric value of an identity text, on any bytes: blanks anywhere change nothing, and
// a text made only of decimal-number characters reads as the C library reads it.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/check.h"
#include "text/leading_number.h"

namespace {
bool Same(double a, double b) {
  return a == b || (std::isnan(a) && std::isnan(b));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte says where a blank goes and which; the rest is the text.
  const std::uint8_t control = data[0];
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  const double value = LeadingNumber(text);
  FUZZ_CHECK(!std::isnan(value));

  static const char kBlanks[] = {' ', '\t', '\n'};
  std::string spaced = text;
  spaced.insert(text.empty() ? 0 : control % (text.size() + 1), 1, kBlanks[(control >> 6) % 3]);
  FUZZ_CHECK(Same(LeadingNumber(spaced), value));

  std::string compact;
  for (char c : text)
    if (c != ' ' && c != '\t' && c != '\n') compact += c;
  if (!compact.empty() && compact.find_first_not_of("0123456789.eE+-") == std::string::npos)
    FUZZ_CHECK(Same(std::strtod(compact.c_str(), nullptr), value));
  return 0;
}
