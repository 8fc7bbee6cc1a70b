#pragma once
// The machine's own answers, found without qEnv's code: the yardstick of the end-to-end
// check of the catalogue. Natively they come from the host's calls and files (gethostname,
// the user database, /etc/os-release, uname, the interfaces) and from the store this test
// seeds; under Wine from Wine's own programs (cmd.exe, reg.exe, wmic.exe, ipconfig.exe) run
// in the same prefix as the test.
#include <optional>
#include <string>
#include <utility>
#include <vector>

class AgentInstall;

namespace host {

// The variables (nullopt: removed) that a run of the catalogue gets besides this process's
// own: natively the inputs of the stand-ins for TEMP, APPDATA and USERDOMAIN, fixed so that
// Variable() states their answers; none under Wine, where the prefix's own values stand.
std::vector<std::pair<std::string, std::optional<std::string>>> PinnedVariables();

// A variable of the environment that a program started by this test gets, as that system
// reads it ("" when unset); natively, for TEMP, APPDATA and USERDOMAIN, the stand-ins'
// answers for the pinned variables (USERDOMAIN: the host's domain as the hostname program
// gives it) and HOME for USERPROFILE.
std::string Variable(const std::string& name);

std::string ComputerName();
std::string UserName();
std::string ProfileFolder();
// The folder separator of the build's paths.
char PathSeparator();

struct OsFacts {
  std::string caption;
  std::string version;
  std::string buildNumber;
  std::string csdVersion;
  std::string typeName;  // the operating-system type's name ("WINNT", "LINUX")
};
OsFacts Os();

// The computer's domain; nullopt where the system has no NT version record.
std::optional<std::string> Domain();

std::string SystemDirectory();

// The address IPADDRESS must give: the machine's address as its own tools list it.
std::string IpAddress();
// The address of a run that test_support::RunTogether started offline: natively none (no
// interface has one there), under Wine IpAddress().
std::string OfflineIpAddress();

// Natively seeds the store of the installation with the registry values the catalogue
// reads (the system environment's ComSpec, the user's shell folders); under Wine the
// prefix's own values stand.
void PrepareRegistry(AgentInstall& agent);

// A string stored in the registry (key with its hive, "HKLM\..."), unexpanded; nullopt
// when the value is missing.
std::optional<std::string> RegistryText(const std::string& key, const std::string& valueName);

}  // namespace host
