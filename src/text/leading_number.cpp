#include "text/leading_number.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int DigitValue(char c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9') v = c - '0';
  if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
  return v < base ? v : -1;
}

double RadixNumber(const std::string& s, std::size_t pos, int base) {
  double value = 0;
  for (; pos < s.size(); ++pos) {
    const int d = DigitValue(s[pos], base);
    if (d < 0) break;
    value = value * base + d;
  }
  return value;
}

// from_chars reports a result out of range without saying which way: the decimal
// magnitude of the first significant digit, plus the exponent, tells.
double OutOfRange(const std::string& mantissa, long long exponent, bool negative) {
  const std::size_t point = mantissa.find('.');
  const std::size_t intDigits = point == std::string::npos ? mantissa.size() : point;
  const std::size_t first = mantissa.find_first_of("123456789");
  if (first == std::string::npos) return 0;
  long long magnitude = first < intDigits ? static_cast<long long>(intDigits - first)
                                          : -static_cast<long long>(first - intDigits - 1);
  const double result = magnitude + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  return negative ? -result : result;
}

}  // namespace

double LeadingNumber(const std::string& text) {
  std::string s;
  s.reserve(text.size());
  for (char c : text)
    if (c != ' ' && c != '\t' && c != '\n') s += c;

  if (s.size() >= 2 && s[0] == '&') {
    if (s[1] == 'H' || s[1] == 'h') return RadixNumber(s, 2, 16);
    if (s[1] == 'O' || s[1] == 'o') return RadixNumber(s, 2, 8);
    return 0;
  }

  std::size_t pos = 0;
  bool negative = false;
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) negative = s[pos++] == '-';

  std::string mantissa;
  bool digits = false;
  bool point = false;
  for (; pos < s.size(); ++pos) {
    if (IsDigit(s[pos])) {
      digits = true;
      mantissa += s[pos];
    } else if (s[pos] == '.' && !point) {
      point = true;
      mantissa += '.';
    } else {
      break;
    }
  }
  if (!digits) return 0;

  long long exponent = 0;
  if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E')) {
    std::size_t e = pos + 1;
    bool expNegative = false;
    if (e < s.size() && (s[e] == '+' || s[e] == '-')) expNegative = s[e++] == '-';
    for (; e < s.size() && IsDigit(s[e]); ++e)
      if (exponent < 1000000000) exponent = exponent * 10 + (s[e] - '0');
    if (expNegative) exponent = -exponent;
  }

  const std::string number = mantissa + "e" + std::to_string(exponent);
  double value = 0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  (void)end;
  if (ec == std::errc::result_out_of_range) return OutOfRange(mantissa, exponent, negative);
  if (ec != std::errc()) return 0;
  return negative ? -value : value;
}
