#pragma once
#include <string>

#include "platform/clock.h"

// A clock that stands still until the test moves it.
class FakeClock : public Clock {
 public:
  FakeClock() {
    now.year = 2026;
    now.month = 12;
    now.day = 7;
    now.hour = 21;
    now.minute = 5;
    now.second = 9;
    now.weekday = 2;  // Monday
  }
  LocalTime Now() override { return now; }
  std::string TimeSeparator() override { return timeSeparator; }
  std::string DecimalSeparator() override { return decimalSeparator; }

  LocalTime now;
  std::string timeSeparator = ":";
  std::string decimalSeparator = ".";
};
