// The host's own answers on Linux: its calls and files, and the registry values this test
// puts into the installation's store.
#include "../host_facts.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <utility>

#include "../agent_install.h"
#include "platform/registry.h"
#include "platform/service_factories.h"
#include "support/posix/host_domain.h"
#include "text/text_util.h"

extern char** environ;

namespace host {

namespace {

const char kSessionEnvironment[] =
    "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
const char kUserShellFolders[] =
    "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// The stand-ins' inputs that every run of the catalogue gets: TEMP from $TMPDIR, APPDATA from
// $XDG_CONFIG_HOME (an existing folder, since this process's own temporary files follow TMPDIR).
const char kTmpDir[] = "/var/tmp";
const char kConfigHome[] = "/qenv-e2e/config";

// What the test stores: the reference to the profile in several spellings, other
// references, a value without any, and a blank one.
const std::map<std::pair<std::string, std::string>, std::string>& Seeded() {
  static const std::map<std::pair<std::string, std::string>, std::string> kValues{
      {{kSessionEnvironment, "COMSPEC"}, "%SystemRoot%\\system32\\cmd.exe"},
      {{kUserShellFolders, "cache"}, "%USERPROFILE%/AppData/Local/INetCache"},
      {{kUserShellFolders, "Cookies"}, "%userprofile%/Cookies"},
      {{kUserShellFolders, "Desktop"}, "%USERPROFILE%/Desktop"},
      {{kUserShellFolders, "Favorites"}, "%UserProfile%/Favorites|%USERPROFILE%"},
      {{kUserShellFolders, "History"}, "/var/history/%TEMP%"},
      {{kUserShellFolders, "My Pictures"}, "%USERPROFILE%/Pictures"},
      {{kUserShellFolders, "Personal"}, "%USERPROFILE%/Documents"},
      {{kUserShellFolders, "Programs"}, "%USERPROFILE%/Start Menu/Programs"},
      {{kUserShellFolders, "Recent"}, ""},
      {{kUserShellFolders, "SendTo"}, "%USERPROFILE%/SendTo"},
      {{kUserShellFolders, "Start Menu"}, "%USERPROFILE%/Start Menu"},
      {{kUserShellFolders, "Startup"}, "%USERPROFILE%/Start Menu/Programs/StartUp"},
  };
  return kValues;
}

std::optional<std::string> Getenv(const std::string& name) {
  if (const char* v = std::getenv(name.c_str())) return std::string(v);
  for (char** e = environ; e && *e; ++e) {
    const char* eq = std::strchr(*e, '=');
    if (eq && text::EqualsNoCase(std::string(*e, static_cast<std::size_t>(eq - *e)), name))
      return std::string(eq + 1);
  }
  return std::nullopt;
}

std::string HostName() {
  char buf[256] = {};
  ::gethostname(buf, sizeof buf - 1);
  return buf;
}

passwd* User() {
  return ::getpwuid(::geteuid());
}

std::map<std::string, std::string> OsRelease() {
  std::map<std::string, std::string> fields;
  std::ifstream in("/etc/os-release");
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos || line[0] == '#') continue;
    std::string v = line.substr(eq + 1);
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
      v = v.substr(1, v.size() - 2);
    fields[line.substr(0, eq)] = v;
  }
  return fields;
}

}  // namespace

std::vector<std::pair<std::string, std::optional<std::string>>> PinnedVariables() {
  return {{"TEMP", std::nullopt},
          {"TMP", std::nullopt},
          {"TMPDIR", kTmpDir},
          {"APPDATA", std::nullopt},
          {"XDG_CONFIG_HOME", kConfigHome},
          {"USERDOMAIN", std::nullopt}};
}

std::string Variable(const std::string& name) {
  std::string key;
  for (char c : name) key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  // What the stand-ins answer for the inputs PinnedVariables gives the runs.
  if (key == "TEMP") return kTmpDir;
  if (key == "APPDATA") return kConfigHome;
  if (key == "USERDOMAIN") return HostDomainByHostnameProgram();
  if (auto v = Getenv(name)) return *v;
  if (key == "USERPROFILE") return Getenv("HOME").value_or("");
  return "";
}

std::string ComputerName() {
  std::string name = HostName();
  name = name.substr(0, name.find('.'));
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name;
}

std::string UserName() {
  passwd* pw = User();
  return pw ? pw->pw_name : "";
}

std::string ProfileFolder() {
  passwd* pw = User();
  return pw ? pw->pw_dir : "";
}

char PathSeparator() {
  return '/';
}

OsFacts Os() {
  auto fields = OsRelease();
  utsname u{};
  ::uname(&u);
  OsFacts os;
  os.caption = fields.count("PRETTY_NAME") ? fields["PRETTY_NAME"] : fields["NAME"];
  os.version = fields.count("VERSION_ID") ? fields["VERSION_ID"] : u.release;
  os.buildNumber = u.release;
  os.typeName = "LINUX";
  return os;
}

std::optional<std::string> Domain() {
  return std::nullopt;
}

std::string SystemDirectory() {
  return "";
}

std::string OfflineIpAddress() {
  return "";
}

std::string IpAddress() {
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return "";
  std::string address;
  for (const ifaddrs* it = list; it && address.empty(); it = it->ifa_next) {
    if (!it->ifa_addr || it->ifa_addr->sa_family != AF_INET) continue;
    if ((it->ifa_flags & IFF_LOOPBACK) || !(it->ifa_flags & IFF_UP)) continue;
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(it->ifa_addr)->sin_addr, text,
                sizeof text);
    address = text;
  }
  ::freeifaddrs(list);
  return address;
}

void PrepareRegistry(AgentInstall&) {
  // The installation named its store to this process (QENV_REGISTRY) when it was made.
  std::unique_ptr<Registry> registry = CreateRegistry();
  for (const auto& [where, text] : Seeded()) {
    const bool machine = where.first.rfind("HKLM\\", 0) == 0;
    RegKey key = 0;
    ASSERT_EQ(registry->CreateKeyEx(machine ? reg::kLocalMachine : reg::kCurrentUser,
                                    where.first.substr(5), "", 0, reg::kKeyAllAccess, key, nullptr),
              0);
    const std::string data = text + '\0';
    EXPECT_EQ(registry->SetValueEx(key, where.second, reg::kExpandSz,
                                   reinterpret_cast<const std::uint8_t*>(data.data()),
                                   static_cast<std::uint32_t>(data.size())),
              0);
    registry->CloseKey(key);
  }
}

std::optional<std::string> RegistryText(const std::string& key, const std::string& valueName) {
  for (const auto& [where, text] : Seeded())
    if (text::EqualsNoCase(where.first, key) && text::EqualsNoCase(where.second, valueName))
      return text;
  return std::nullopt;
}

}  // namespace host
