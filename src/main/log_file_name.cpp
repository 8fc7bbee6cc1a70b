#include "main/log_file_name.h"

#include <cstdio>
#include <string_view>

namespace {

std::string FileNamePart(std::string s) {
  for (char& c : s) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 32 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) c = '_';
  }
  return s;
}

}  // namespace

std::string FormatLogFileTime(const LocalTime& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%02d%02d%04d%02d%02d%02d", t.month, t.day, t.year, t.hour,
                t.minute, t.second);
  return buf;
}

std::string BuildLogFileName(const std::string& exeName, const std::string& regId,
                             const std::array<std::string, 3>& fields, const LocalTime& start) {
  return exeName + "_" + FileNamePart(regId) + "_" + FileNamePart(fields[0]) + "_" +
         FileNamePart(fields[1]) + "_" + FileNamePart(fields[2]) + "_" + FormatLogFileTime(start) +
         ".txt";
}
