#include "run/log_writer.h"

#include <cstdio>
#include <cstdlib>

#include "platform/files.h"
#include "platform/process.h"
#include "run/run_context.h"

namespace {
// A message's own line breaks would start lines that look like the run's: CR and LF are
// shown as the two characters "\r" and "\n", so that one call writes one line.
std::string OneLine(const std::string& message) {
  if (message.find_first_of("\r\n") == std::string::npos) return message;
  std::string line;
  line.reserve(message.size() + 16);
  for (const char c : message) {
    if (c == '\r')
      line += "\\r";
    else if (c == '\n')
      line += "\\n";
    else
      line += c;
  }
  return line;
}

std::string TwoDigits(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", n);
  return buf;
}
}  // namespace

std::string FormatLogStamp(const LocalTime& t, const std::string& sep) {
  char date[32];
  std::snprintf(date, sizeof date, "%02d/%02d/%04d ", t.month, t.day, t.year);
  return date + TwoDigits(t.hour) + sep + TwoDigits(t.minute) + sep + TwoDigits(t.second);
}

void subWriteLog(RunContext& ctx, const std::string& message) {
  if (!ctx.LogStream) return;
  try {
    const LocalTime now = ctx.platform.clock.Now();
    ctx.LogStream->WriteLine(FormatLogStamp(now, ctx.platform.clock.TimeSeparator()) + "\t" +
                             OneLine(message));
  } catch (...) {
    // A line that cannot be written is dropped without a word.
  }
}

void CloseLog(RunContext& ctx) {
  if (!ctx.LogStream) return;
  try {
    ctx.LogStream->Close();
  } catch (...) {
    // Whatever the close could not write is lost; the run ends all the same.
  }
  ctx.LogStream.reset();
}

void subEndApplication(RunContext& ctx) {
  subWriteLog(ctx, "MSG : Application Ended");
  CloseLog(ctx);
  ctx.platform.process.Exit(0);
  std::abort();  // Exit does not return; the compiler cannot see that through the interface
}
