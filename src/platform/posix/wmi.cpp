// The WMI stand-in on POSIX: the two classes the program asks for, built from what the
// host tells about itself. Win32_OperatingSystem comes from os-release and uname,
// Win32_ComputerSystem from the host's name. Any other class has no instances.
#include "platform/wmi.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/os_release.h"

namespace {

std::map<std::string, std::string> ReadOsRelease() {
  for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
    std::ifstream in(path, std::ios::binary);
    if (!in) continue;
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ParseOsRelease(content);
  }
  return {};
}

std::optional<std::string> Field(const std::map<std::string, std::string>& fields,
                                 const std::string& key) {
  auto it = fields.find(key);
  if (it == fields.end()) return std::nullopt;
  return it->second;
}

// The DNS domain of the host: what follows the first dot of its name, else the system's
// domain name unless it is unset ("(none)").
std::string HostDomain() {
  char buf[256] = {};
  if (::gethostname(buf, sizeof buf - 1) == 0) {
    const std::string name(buf);
    const std::size_t dot = name.find('.');
    if (dot != std::string::npos && dot + 1 < name.size()) return name.substr(dot + 1);
  }
  char domain[256] = {};
  if (::getdomainname(domain, sizeof domain - 1) == 0) {
    std::string d(domain);
    if (!d.empty() && d != "(none)") return d;
  }
  return "";
}

class PosixWmi final : public Wmi {
 public:
  std::vector<WmiInstance> InstancesOf(const std::string& className) override {
    if (SameNoCase(className, "Win32_OperatingSystem")) return {OperatingSystem()};
    if (SameNoCase(className, "Win32_ComputerSystem")) return {ComputerSystem()};
    return {};
  }

 private:
  static bool SameNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
      if (std::tolower(static_cast<unsigned char>(a[i])) !=
          std::tolower(static_cast<unsigned char>(b[i])))
        return false;
    return true;
  }

  static WmiInstance OperatingSystem() {
    const auto fields = ReadOsRelease();
    utsname u{};
    const bool haveUname = ::uname(&u) == 0;
    const std::optional<std::string> release =
        haveUname ? std::optional<std::string>(u.release) : std::nullopt;
    WmiInstance os;
    os["Caption"] = Field(fields, "PRETTY_NAME");
    if (!os["Caption"]) os["Caption"] = Field(fields, "NAME");
    os["Version"] = Field(fields, "VERSION_ID");
    if (!os["Version"]) os["Version"] = release;
    os["BuildNumber"] = release;
    os["CSDVersion"] = std::nullopt;  // Linux has no service packs
    os["OSType"] = "36";              // LINUX in the CIM operating-system table
    return os;
  }

  static WmiInstance ComputerSystem() {
    WmiInstance cs;
    char buf[256] = {};
    if (::gethostname(buf, sizeof buf - 1) == 0) {
      std::string name(buf);
      name = name.substr(0, name.find('.'));
      cs["Name"] = name;
    } else {
      cs["Name"] = std::nullopt;
    }
    cs["Domain"] = HostDomain();
    return cs;
  }
};

}  // namespace

std::unique_ptr<Wmi> CreateWmi() {
  return std::make_unique<PosixWmi>();
}
