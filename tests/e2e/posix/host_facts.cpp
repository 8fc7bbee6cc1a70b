// The host's own answers on Linux: its calls and files, and the registry values this test
// puts into the installation's store.
#include "../host_facts.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
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
#include "text/text_util.h"

extern char** environ;

namespace host {

namespace {

const char kSessionEnvironment[] =
    "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
const char kUserShellFolders[] =
    "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

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

// The part of the host's canonical name after its first dot.
std::string HostDomain() {
  std::string name = HostName();
  if (name.find('.') == std::string::npos) {
    addrinfo hints{};
    hints.ai_flags = AI_CANONNAME;
    addrinfo* res = nullptr;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &res) == 0 && res) {
      if (res->ai_canonname) name = res->ai_canonname;
      ::freeaddrinfo(res);
    }
  }
  const std::size_t dot = name.find('.');
  return dot == std::string::npos ? "" : name.substr(dot + 1);
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

std::string Variable(const std::string& name) {
  if (auto v = Getenv(name)) return *v;
  std::string key;
  for (char c : name) key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (key == "TEMP") {
    auto tmp = Getenv("TMPDIR");
    return tmp && !tmp->empty() ? *tmp : "/tmp";
  }
  if (key == "USERDOMAIN") return HostDomain();
  if (key == "APPDATA") {
    if (auto xdg = Getenv("XDG_CONFIG_HOME"); xdg && !xdg->empty()) return *xdg;
    if (auto home = Getenv("HOME"); home && !home->empty()) return *home + "/.config";
  }
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
