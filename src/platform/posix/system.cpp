// POSIX stand-in for the machine and user facts. The host name serves as the computer name,
// the user database gives the user and the profile folder; there is no Windows version
// record, no system folder and no 8.3 names, and each call that fails says so with the
// Win32 code its Windows counterpart would leave.
#include "platform/system.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "platform/posix/posix_path.h"
#include "platform/posix/system_messages.h"
#include "platform/service_factories.h"
#include "platform/win32_error.h"

namespace {

constexpr long kNoFolder = win32_error::HResultOf(win32_error::kFileNotFound);

// The passwd entry of the effective user; false when the database has none.
bool CurrentUser(std::string& name, std::string& home) {
  long hint = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buf(hint > 0 ? static_cast<std::size_t>(hint) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  while (::getpwuid_r(::geteuid(), &entry, buf.data(), buf.size(), &found) == ERANGE)
    buf.resize(buf.size() * 2);
  if (!found) return false;
  name = found->pw_name ? found->pw_name : "";
  home = found->pw_dir ? found->pw_dir : "";
  return true;
}

// The text as an ANSI call sees it: up to its first NUL.
std::string AsCString(const std::string& s) {
  return std::string(s.c_str());
}

class PosixSystem final : public System {
 public:
  explicit PosixSystem(std::unique_ptr<Environment> environment)
      : environment_(std::move(environment)) {}

  // The host name's first label, upper-cased as Windows reports a computer name.
  bool GetComputerName(char* buffer, std::uint32_t& size) override {
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) != 0) return Fail(win32_error::kNotSupported);
    std::string name(host);
    name = name.substr(0, name.find('.'));
    for (char& c : name)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    if (name.size() + 1 > size) {
      size = static_cast<std::uint32_t>(name.size() + 1);
      return Fail(win32_error::kBufferOverflow);
    }
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    size = static_cast<std::uint32_t>(name.size());
    return true;
  }

  bool GetUserName(char* buffer, std::uint32_t& size) override {
    std::string name, home;
    if (!CurrentUser(name, home)) return Fail(win32_error::kNoneMapped);
    return CopyWithNul(name, buffer, size);
  }

  bool GetVersionEx(OsVersionInfo& record) override {
    const std::uint32_t asked = record.osVersionInfoSize;
    record = OsVersionInfo{};
    record.osVersionInfoSize = asked;
    return Fail(asked == 156 || asked == 148 ? win32_error::kNotSupported
                                             : win32_error::kInsufficientBuffer);
  }

  std::uint32_t GetVersion() override { return 0; }

  bool OpenProcessToken(std::uint32_t, std::uintptr_t& token) override {
    token = nextToken_++;
    tokens_.insert(token);
    return true;
  }

  bool GetUserProfileDirectory(std::uintptr_t token, char* buffer, std::uint32_t& size) override {
    if (tokens_.count(token) == 0) return Fail(win32_error::kInvalidHandle);
    std::string name, home;
    if (!CurrentUser(name, home)) return Fail(win32_error::kNoneMapped);
    return CopyWithNul(home, buffer, size);
  }

  void CloseToken(std::uintptr_t token) override { tokens_.erase(token); }

  // No 8.3 names here: an existing path is its own short form.
  std::uint32_t GetShortPathName(const std::string& path, char* buffer,
                                 std::uint32_t capacity) override {
    const std::string p = AsCString(path);
    struct stat st {};
    if (p.empty()) {
      lastError_ = win32_error::kBadPathname;
      return 0;
    }
    if (::stat(posix::NativePath(p).c_str(), &st) != 0) {
      lastError_ = win32_error::kFileNotFound;
      return 0;
    }
    if (p.size() + 1 > capacity) return static_cast<std::uint32_t>(p.size() + 1);
    std::memcpy(buffer, p.c_str(), p.size() + 1);
    return static_cast<std::uint32_t>(p.size());
  }

  std::uint32_t GetSystemDirectory(char*, std::uint32_t) override {
    lastError_ = win32_error::kNotSupported;
    return 0;
  }

  long GetSpecialFolderPath(int, std::string& path) override {
    path.clear();
    lastError_ = win32_error::kFileNotFound;
    return kNoFolder;
  }

  std::uint32_t FormatMessage(std::uint32_t code, char* buffer, std::uint32_t capacity) override {
    const char* text = posix::SystemMessageText(code);
    if (!text) {
      lastError_ = win32_error::kMessageNotFound;
      return 0;
    }
    const std::string message = std::string(text) + "\r\n";
    if (message.size() + 1 > capacity) {
      lastError_ = win32_error::kInsufficientBuffer;
      return 0;
    }
    std::memcpy(buffer, message.c_str(), message.size() + 1);
    return static_cast<std::uint32_t>(message.size());
  }

  std::uint32_t GetLastError() override { return lastError_; }

  // %NAME% is replaced when the variable is set and stays as written when it is not; either
  // way the scan goes on after the closing "%" (so "%%" is kept as it is).
  std::uint32_t ExpandEnvironmentStrings(const std::string& source, char* buffer,
                                         std::uint32_t capacity) override {
    const std::string src = AsCString(source);
    std::string out;
    std::size_t i = 0;
    while (i < src.size()) {
      const std::size_t open = src.find('%', i);
      const std::size_t close = open == std::string::npos ? open : src.find('%', open + 1);
      if (close == std::string::npos) {
        out.append(src, i, std::string::npos);
        break;
      }
      out.append(src, i, open - i);
      const std::string name = src.substr(open + 1, close - open - 1);
      const std::string value = name.empty() ? "" : environment_->GetVariable(name);
      if (!value.empty())
        out += value;
      else
        out.append(src, open, close - open + 1);
      i = close + 1;
    }
    const auto needed = static_cast<std::uint32_t>(out.size() + 1);
    if (buffer && needed <= capacity) std::memcpy(buffer, out.c_str(), needed);
    return needed;
  }

 private:
  bool Fail(std::uint32_t code) {
    lastError_ = code;
    return false;
  }
  // The GetUserNameA rule: size is the capacity with the NUL in, the length with it out.
  bool CopyWithNul(const std::string& text, char* buffer, std::uint32_t& size) {
    const auto needed = static_cast<std::uint32_t>(text.size() + 1);
    if (!buffer || needed > size) {
      size = needed;
      return Fail(win32_error::kInsufficientBuffer);
    }
    std::memcpy(buffer, text.c_str(), needed);
    size = needed;
    return true;
  }

  std::unique_ptr<Environment> environment_;
  std::set<std::uintptr_t> tokens_;
  std::uintptr_t nextToken_ = 4;
  std::uint32_t lastError_ = 0;
};

}  // namespace

std::unique_ptr<System> CreateSystem() {
  return std::make_unique<PosixSystem>(CreateEnvironment());
}
