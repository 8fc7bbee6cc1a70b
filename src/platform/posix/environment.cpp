// POSIX stand-in for the process environment: names match without regard to case, and a
// few Windows variables that Linux lacks answer with their natural counterparts.
#include "platform/environment.h"

#include <netdb.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>

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

// The part of the host's fully qualified name after its first dot.
std::string HostDomain() {
  char host[256] = {};
  if (::gethostname(host, sizeof host - 1) != 0) return "";
  if (const char* dot = std::strchr(host, '.')) return dot + 1;
  addrinfo hints{};
  hints.ai_flags = AI_CANONNAME;
  addrinfo* res = nullptr;
  std::string domain;
  if (::getaddrinfo(host, nullptr, &hints, &res) == 0 && res) {
    if (res->ai_canonname)
      if (const char* dot = std::strchr(res->ai_canonname, '.')) domain = dot + 1;
    ::freeaddrinfo(res);
  }
  return domain;
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
    if (key == "USERDOMAIN") return HostDomain();
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
