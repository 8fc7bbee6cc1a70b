// POSIX stand-in for the process environment: names match without regard to case, and a
// few Windows variables that Linux lacks answer with their natural counterparts.
#include "platform/environment.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/posix/host_domain.h"

extern char** environ;

namespace {

bool EqualNoCase(const char* a, std::size_t n, const std::string& b) {
  if (n != b.size()) return false;
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

std::string UpperAscii(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}

class PosixEnvironment final : public Environment {
 public:
  std::string GetVariable(const std::string& name) override {
    std::string value;
    if (Lookup(name, value)) return value;
    const std::string key = UpperAscii(name);
    if (key == "TEMP" || key == "TMP") {
      if (Lookup("TMPDIR", value) && !value.empty()) return value;
      return "/tmp";
    }
    if (key == "USERDOMAIN") return posix::HostDomain();
    if (key == "APPDATA") {
      if (Lookup("XDG_CONFIG_HOME", value) && !value.empty()) return value;
      if (Lookup("HOME", value) && !value.empty()) return value + "/.config";
    }
    if (key == "USERPROFILE" && Lookup("HOME", value)) return value;
    return "";
  }

 private:
  // An exact-case match wins over one that differs only in case.
  static bool Lookup(const std::string& name, std::string& value) {
    if (name.empty() || name.find('=') != std::string::npos) return false;
    if (const char* exact = std::getenv(name.c_str())) {
      value = exact;
      return true;
    }
    for (char** e = environ; e && *e; ++e) {
      const char* eq = std::strchr(*e, '=');
      if (eq && EqualNoCase(*e, static_cast<std::size_t>(eq - *e), name)) {
        value = eq + 1;
        return true;
      }
    }
    return false;
  }
};

}  // namespace

std::unique_ptr<Environment> CreateEnvironment() {
  return std::make_unique<PosixEnvironment>();
}
