#pragma once
// The local clock and the user's locale separators.
#include <string>

struct LocalTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;   // 0..23
  int minute = 0;
  int second = 0;
  int weekday = 0;  // 1 = Sunday .. 7 = Saturday
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() = 0;
  // The locale's time separator (":" in most locales).
  virtual std::string TimeSeparator() = 0;
  // The locale's decimal separator ("." or ",").
  virtual std::string DecimalSeparator() = 0;
};
