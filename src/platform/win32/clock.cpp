// Local time and the user's locale separators through kernel32.
#include "platform/clock.h"

#include "platform/win32/win32_api.h"
// after windows.h
#include <memory>
#include <string>

namespace {
std::string LocaleText(LCTYPE type, const char* fallback) {
  char buf[16] = {};
  int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buf, sizeof buf);
  return n > 1 ? std::string(buf) : std::string(fallback);
}

class Win32Clock final : public Clock {
 public:
  LocalTime Now() override {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    LocalTime t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.day = st.wDay;
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    t.weekday = st.wDayOfWeek + 1;
    return t;
  }
  std::string TimeSeparator() override { return LocaleText(LOCALE_STIME, ":"); }
  std::string DecimalSeparator() override { return LocaleText(LOCALE_SDECIMAL, "."); }
};
}  // namespace

std::unique_ptr<Clock> CreateClock() {
  return std::make_unique<Win32Clock>();
}
