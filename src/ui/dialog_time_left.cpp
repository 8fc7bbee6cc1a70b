// How the form writes the time left: whole minutes and hours from a minute on, the seconds
// as they are below it.
#include "ui/dialog.h"

#include <charconv>
#include <cmath>

namespace {
// Up to 15 significant digits, no decimals for a whole number, the given separator else.
std::string Number(double value, const std::string& decimalSeparator) {
  char buf[64];
  const auto [end, ec] =
      std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  if (ec != std::errc()) return "";
  std::string text(buf, end);
  const std::size_t dot = text.find('.');
  if (dot != std::string::npos) text.replace(dot, 1, decimalSeparator);
  return text;
}
}  // namespace

std::string FormatTimeLeft(double seconds, const std::string& decimalSeparator) {
  // Infinity or NaN would overflow the arithmetic below: an error, and errors here give
  // an empty text.
  if (!std::isfinite(seconds)) return "";
  if (seconds == 0) return "0";
  if (seconds < 60) return Number(seconds, decimalSeparator) + " second(s)";
  auto num = [&](double v) { return Number(v, decimalSeparator); };
  if (seconds < 3600) {
    const double m = std::floor(seconds / 60);
    const double s = std::floor(seconds - m * 60);
    std::string text = num(m) + " minute(s) ";
    if (s > 0) text += num(s) + " second(s)";
    return text;
  }
  const double h = std::floor(std::floor(seconds / 60) / 60);
  const double rest = seconds - h * 3600;
  const double m = std::floor(rest / 60);
  const double s = std::floor(rest - m * 60);
  std::string text = num(h) + " hour(s) ";
  if (m > 0) text += num(m) + " minute(s) ";
  if (s > 0) text += num(s) + " second(s)";
  return text;
}
