// The catalogue entries answered from the process environment, the clock and constants.
// Each computes the value and its result; none logs or writes an error text of its own.
#include "expand/catalogue.h"

#include <cstdio>

#include "platform/clock.h"
#include "platform/environment.h"
#include "run/run_context.h"
#include "text/text_util.h"

namespace catalogue {

namespace {

std::string Env(RunContext& ctx, const char* variable) {
  return ctx.platform.environment.GetVariable(variable);
}

const char kAllUsers[] = "\\All Users";

}  // namespace

// The logon domain, despite the entry's name.
bool DomainUserName(RunContext& ctx, const std::string&, std::string& value, std::string&) {
  value = Env(ctx, "USERDOMAIN");
  return true;
}

// The folder found by case-insensitive test, but replaced only where spelt exactly: a profile
// path in other letter case passes and comes back as it was.
bool ProfileDirDefaultUser(RunContext& ctx, const std::string&, std::string& value, std::string&) {
  const std::string all = Env(ctx, "ALLUSERSPROFILE");
  if (!text::ContainsNoCase(all, kAllUsers)) return false;
  value = text::ReplaceAll(all, kAllUsers, "\\Default User");
  return true;
}

bool ProfilesDir(RunContext& ctx, const std::string&, std::string& value, std::string&) {
  const std::string all = Env(ctx, "ALLUSERSPROFILE");
  if (!text::ContainsNoCase(all, kAllUsers)) return false;
  value = text::ReplaceAll(all, kAllUsers, "");
  return !text::Trim(value).empty();
}

bool SystemDrive(RunContext& ctx, const std::string&, std::string& value, std::string&) {
  const std::string drive = Env(ctx, "SystemDrive");
  const std::string trimmed = text::Trim(drive);
  value = (trimmed.empty() || trimmed.back() != '\\') ? trimmed + "\\" : drive;
  return true;
}

bool SystemRoot(RunContext& ctx, const std::string&, std::string& value, std::string&) {
  value = Env(ctx, "SystemRoot");
  return true;
}

bool TempDir(RunContext& ctx, const std::string&, std::string& value, std::string&) {
  value = Env(ctx, "TEMP");
  return true;
}

bool WinDir(RunContext& ctx, const std::string&, std::string& value, std::string&) {
  value = Env(ctx, "windir");
  return true;
}

bool AllUsersProfile(RunContext& ctx, const std::string&, std::string& value, std::string&) {
  value = Env(ctx, "ALLUSERSPROFILE");
  return true;
}

bool ProgramFiles(RunContext& ctx, const std::string&, std::string& value, std::string&) {
  value = Env(ctx, "PROGRAMFILES");
  return true;
}

bool Crlf(RunContext&, const std::string&, std::string& value, std::string&) {
  value = "\r\n";
  return true;
}

bool DateYyyyMmDd(RunContext& ctx, const std::string&, std::string& value, std::string&) {
  const LocalTime t = ctx.platform.clock.Now();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d", t.year, t.month, t.day);
  value = buf;
  return true;
}

bool Time(RunContext& ctx, const std::string&, std::string& value, std::string&) {
  const LocalTime t = ctx.platform.clock.Now();
  const std::string sep = ctx.platform.clock.TimeSeparator();
  char hh[16], nn[16], ss[16];
  std::snprintf(hh, sizeof hh, "%02d", t.hour);
  std::snprintf(nn, sizeof nn, "%02d", t.minute);
  std::snprintf(ss, sizeof ss, "%02d", t.second);
  value = std::string(hh) + sep + nn + sep + ss;
  return true;
}

}  // namespace catalogue
