#pragma once
// The catalogue entries that hand their work to the identity procedures, the operating-
// system and IP probes, the system-folder wrapper, the registry or the agent identity.
// Same contract as every entry: name as written, value and error text out.
#include <string>

class RunContext;

namespace catalogue {
// The identity procedures, the command interpreter and the operating-system probe.
bool ComputerName(RunContext& ctx, const std::string& name, std::string& value,
                  std::string& errorText);
bool ComSpec(RunContext& ctx, const std::string& name, std::string& value, std::string& errorText);
bool DomainName(RunContext& ctx, const std::string& name, std::string& value,
                std::string& errorText);
bool UserName(RunContext& ctx, const std::string& name, std::string& value, std::string& errorText);
bool NtType(RunContext& ctx, const std::string& name, std::string& value, std::string& errorText);
bool Os(RunContext& ctx, const std::string& name, std::string& value, std::string& errorText);
bool OsBuildNumber(RunContext& ctx, const std::string& name, std::string& value,
                   std::string& errorText);
bool OsCsdVersion(RunContext& ctx, const std::string& name, std::string& value,
                  std::string& errorText);
bool OsType(RunContext& ctx, const std::string& name, std::string& value, std::string& errorText);
bool OsVersion(RunContext& ctx, const std::string& name, std::string& value,
               std::string& errorText);
// The current user's shell folders, read from the registry.
bool ShellCache(RunContext& ctx, const std::string& name, std::string& value,
                std::string& errorText);
bool ShellCookies(RunContext& ctx, const std::string& name, std::string& value,
                  std::string& errorText);
bool ShellDesktop(RunContext& ctx, const std::string& name, std::string& value,
                  std::string& errorText);
bool ShellFavorites(RunContext& ctx, const std::string& name, std::string& value,
                    std::string& errorText);
bool ShellHistory(RunContext& ctx, const std::string& name, std::string& value,
                  std::string& errorText);
bool ShellMyPictures(RunContext& ctx, const std::string& name, std::string& value,
                     std::string& errorText);
bool ShellPersonal(RunContext& ctx, const std::string& name, std::string& value,
                   std::string& errorText);
bool ShellPrograms(RunContext& ctx, const std::string& name, std::string& value,
                   std::string& errorText);
bool ShellRecent(RunContext& ctx, const std::string& name, std::string& value,
                 std::string& errorText);
bool ShellSendTo(RunContext& ctx, const std::string& name, std::string& value,
                 std::string& errorText);
bool ShellStartMenu(RunContext& ctx, const std::string& name, std::string& value,
                    std::string& errorText);
bool ShellStartup(RunContext& ctx, const std::string& name, std::string& value,
                  std::string& errorText);
// The system folder, the application-data folder, the IP address and the weekday.
bool SystemDirectory(RunContext& ctx, const std::string& name, std::string& value,
                     std::string& errorText);
bool AppData(RunContext& ctx, const std::string& name, std::string& value, std::string& errorText);
bool IpAddress(RunContext& ctx, const std::string& name, std::string& value,
               std::string& errorText);
bool Day(RunContext& ctx, const std::string& name, std::string& value, std::string& errorText);
// The agent identity that the start-up read.
bool PartnerId(RunContext& ctx, const std::string& name, std::string& value,
               std::string& errorText);
bool SiteId(RunContext& ctx, const std::string& name, std::string& value, std::string& errorText);
bool AgentId(RunContext& ctx, const std::string& name, std::string& value, std::string& errorText);
bool AgentType(RunContext& ctx, const std::string& name, std::string& value,
               std::string& errorText);
bool InstallPath(RunContext& ctx, const std::string& name, std::string& value,
                 std::string& errorText);
}  // namespace catalogue
