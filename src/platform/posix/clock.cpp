// POSIX clock: local time from the C library; the separators of the "C" locale.
#include "platform/clock.h"

#include <ctime>
#include <memory>

namespace {
class PosixClock final : public Clock {
 public:
  LocalTime Now() override {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&now, &tm);
    LocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    t.weekday = tm.tm_wday + 1;
    return t;
  }
  std::string TimeSeparator() override { return ":"; }
  std::string DecimalSeparator() override { return "."; }
};
}  // namespace

std::unique_ptr<Clock> CreateClock() {
  return std::make_unique<PosixClock>();
}
