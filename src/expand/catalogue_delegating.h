#pragma once
// The catalogue entries that hand their work to the identity procedures, the operating-
// system and IP probes, the system-folder wrapper, the registry or the agent identity.
// Same contract as every entry: name as written, value and error text out.
#include <string>

class RunContext;

namespace catalogue {
#define QENV_ENTRY(fn) \
  bool fn(RunContext& ctx, const std::string& name, std::string& value, std::string& errorText)
QENV_ENTRY(ComputerName);
QENV_ENTRY(ComSpec);
QENV_ENTRY(DomainName);
QENV_ENTRY(UserName);
QENV_ENTRY(NtType);
QENV_ENTRY(Os);
QENV_ENTRY(OsBuildNumber);
QENV_ENTRY(OsCsdVersion);
QENV_ENTRY(OsType);
QENV_ENTRY(OsVersion);
QENV_ENTRY(ShellCache);
QENV_ENTRY(ShellCookies);
QENV_ENTRY(ShellDesktop);
QENV_ENTRY(ShellFavorites);
QENV_ENTRY(ShellHistory);
QENV_ENTRY(ShellMyPictures);
QENV_ENTRY(ShellPersonal);
QENV_ENTRY(ShellPrograms);
QENV_ENTRY(ShellRecent);
QENV_ENTRY(ShellSendTo);
QENV_ENTRY(ShellStartMenu);
QENV_ENTRY(ShellStartup);
QENV_ENTRY(SystemDirectory);
QENV_ENTRY(AppData);
QENV_ENTRY(IpAddress);
QENV_ENTRY(Day);
QENV_ENTRY(PartnerId);
QENV_ENTRY(SiteId);
QENV_ENTRY(AgentId);
QENV_ENTRY(AgentType);
QENV_ENTRY(InstallPath);
#undef QENV_ENTRY
}  // namespace catalogue
