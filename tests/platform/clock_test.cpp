// The real Clock service of this build.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "platform/clock.h"
#include "platform/service_factories.h"

namespace {

bool IsSeparator(const std::string& s) {
  if (s.empty() || s.size() > 3) return false;
  for (char c : s)
    if (c >= '0' && c <= '9') return false;
  return true;
}

TEST(ClockTest, SeparatorsAreShortAndHoldNoDigits) {
  auto clock = CreateClock();
  EXPECT_TRUE(IsSeparator(clock->TimeSeparator())) << "[" << clock->TimeSeparator() << "]";
  EXPECT_TRUE(IsSeparator(clock->DecimalSeparator())) << "[" << clock->DecimalSeparator() << "]";
}

TEST(ClockTest, LocalTimeFieldsAreInRange) {
  const LocalTime t = CreateClock()->Now();
  EXPECT_GE(t.year, 2020);
  EXPECT_TRUE(t.month >= 1 && t.month <= 12) << t.month;
  EXPECT_TRUE(t.day >= 1 && t.day <= 31) << t.day;
  EXPECT_TRUE(t.hour >= 0 && t.hour <= 23) << t.hour;
  EXPECT_TRUE(t.minute >= 0 && t.minute <= 59) << t.minute;
  EXPECT_TRUE(t.second >= 0 && t.second <= 60) << t.second;
  // Weekday 1 is Sunday; it must be the weekday of the date given with it.
  const std::chrono::year_month_day date{std::chrono::year(t.year),
                                         std::chrono::month(static_cast<unsigned>(t.month)),
                                         std::chrono::day(static_cast<unsigned>(t.day))};
  ASSERT_TRUE(date.ok());
  EXPECT_EQ(static_cast<unsigned>(t.weekday),
            std::chrono::weekday(std::chrono::sys_days(date)).c_encoding() + 1);
}

}  // namespace
