#include "expand/catalogue_delegating.h"

#include "expand/identity.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "registry/registry_access.h"
#include "run/log_writer.h"
#include "run/run_context.h"
#include "run/windows_calls.h"
#include "sysinfo/ip_address.h"
#include "sysinfo/os_info.h"
#include "text/text_util.h"

namespace {

const char kSessionEnvironment[] =
    "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
const char kUserShellFolders[] =
    "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// The current user's shell folder stored under valueName, with %USERPROFILE% (any case)
// replaced by the profile folder; other references stay as stored.
bool ShellFolder(RunContext& ctx, const char* valueName, std::string& value,
                 std::string& errorText) {
  fncGetCurrentUserProfile(ctx, errorText);
  errorText.clear();
  value = ctx.RegistryAccess().ReadString(kUserShellFolders, valueName, errorText);
  value = text::ReplaceNoCase(value, "%userprofile%", ctx.gstrUserProfile);
  return text::Trim(errorText).empty();
}

}  // namespace

namespace catalogue {

bool ComputerName(RunContext& ctx, const std::string& name, std::string& value,
                  std::string& errorText) {
  return fncGetComputerName(ctx, name, value, errorText);
}

bool ComSpec(RunContext& ctx, const std::string& name, std::string& value, std::string&) {
  std::string discarded;
  value = ctx.RegistryAccess().ReadString(kSessionEnvironment, name, discarded);
  return !text::Trim(value).empty();
}

bool DomainName(RunContext& ctx, const std::string& name, std::string& value,
                std::string& errorText) {
  return fncGetDomainName(ctx, name, value, errorText);
}

bool UserName(RunContext& ctx, const std::string&, std::string& value, std::string& errorText) {
  fncGetUserName(ctx, "USERNAME", value, errorText);
  return true;
}

bool NtType(RunContext& ctx, const std::string& name, std::string& value, std::string& errorText) {
  return fncGetDomainName(ctx, name, value, errorText);
}

bool Os(RunContext& ctx, const std::string& name, std::string& value, std::string& errorText) {
  return fncGetOSInfo(ctx, name, value, errorText);
}

bool OsBuildNumber(RunContext& ctx, const std::string& name, std::string& value,
                   std::string& errorText) {
  if (!fncGetOSInfo(ctx, name, value, errorText)) return false;
  subWriteLog(ctx, "MSG : OS Build No. is " + value);
  return true;
}

bool OsCsdVersion(RunContext& ctx, const std::string& name, std::string& value,
                  std::string& errorText) {
  return fncGetOSInfo(ctx, name, value, errorText);
}

bool OsType(RunContext& ctx, const std::string& name, std::string& value, std::string& errorText) {
  return fncGetOSInfo(ctx, name, value, errorText);
}

bool OsVersion(RunContext& ctx, const std::string& name, std::string& value,
               std::string& errorText) {
  return fncGetOSInfo(ctx, name, value, errorText);
}

bool ShellCache(RunContext& ctx, const std::string&, std::string& value, std::string& errorText) {
  return ShellFolder(ctx, "cache", value, errorText);
}

bool ShellCookies(RunContext& ctx, const std::string&, std::string& value, std::string& errorText) {
  return ShellFolder(ctx, "Cookies", value, errorText);
}

bool ShellDesktop(RunContext& ctx, const std::string&, std::string& value, std::string& errorText) {
  return ShellFolder(ctx, "Desktop", value, errorText);
}

bool ShellFavorites(RunContext& ctx, const std::string&, std::string& value,
                    std::string& errorText) {
  return ShellFolder(ctx, "Favorites", value, errorText);
}

bool ShellHistory(RunContext& ctx, const std::string&, std::string& value, std::string& errorText) {
  return ShellFolder(ctx, "History", value, errorText);
}

bool ShellMyPictures(RunContext& ctx, const std::string&, std::string& value,
                     std::string& errorText) {
  return ShellFolder(ctx, "My Pictures", value, errorText);
}

bool ShellPersonal(RunContext& ctx, const std::string&, std::string& value,
                   std::string& errorText) {
  return ShellFolder(ctx, "Personal", value, errorText);
}

bool ShellPrograms(RunContext& ctx, const std::string&, std::string& value,
                   std::string& errorText) {
  return ShellFolder(ctx, "Programs", value, errorText);
}

bool ShellRecent(RunContext& ctx, const std::string&, std::string& value, std::string& errorText) {
  return ShellFolder(ctx, "Recent", value, errorText);
}

bool ShellSendTo(RunContext& ctx, const std::string&, std::string& value, std::string& errorText) {
  return ShellFolder(ctx, "SendTo", value, errorText);
}

bool ShellStartMenu(RunContext& ctx, const std::string&, std::string& value,
                    std::string& errorText) {
  return ShellFolder(ctx, "Start Menu", value, errorText);
}

bool ShellStartup(RunContext& ctx, const std::string&, std::string& value, std::string& errorText) {
  return ShellFolder(ctx, "Startup", value, errorText);
}

bool SystemDirectory(RunContext& ctx, const std::string&, std::string& value, std::string&) {
  value = fncGetSystemDirectory(ctx);
  return true;
}

bool AppData(RunContext& ctx, const std::string&, std::string& value, std::string&) {
  value = ctx.platform.environment.GetVariable("APPDATA");
  if (text::Trim(value).empty()) {
    std::string discarded;
    fncGetCurrentUserProfile(ctx, discarded);
    value = ctx.gstrUserProfile + kPathSep + "Application Data";
  }
  return true;
}

bool IpAddress(RunContext& ctx, const std::string&, std::string& value, std::string&) {
  {
    clsIPAddress probe(ctx);
    probe.subGetData();
  }
  value = ctx.gstrIPAddress;
  return true;
}

bool Day(RunContext& ctx, const std::string&, std::string& value, std::string& errorText) {
  return fncGetWeekDay(ctx, value, errorText);
}

bool PartnerId(RunContext& ctx, const std::string&, std::string& value, std::string&) {
  value = ctx.AgentMemberId;
  return true;
}

bool SiteId(RunContext& ctx, const std::string&, std::string& value, std::string&) {
  value = ctx.AgentSiteId;
  return true;
}

bool AgentId(RunContext& ctx, const std::string&, std::string& value, std::string&) {
  value = ctx.AgentRegId;
  return true;
}

bool AgentType(RunContext& ctx, const std::string&, std::string& value, std::string&) {
  value = ctx.AgentType;
  return true;
}

bool InstallPath(RunContext& ctx, const std::string&, std::string& value, std::string&) {
  value = ctx.AgentInstallPath;
  return true;
}

}  // namespace catalogue
