#pragma once
#include <cstring>
#include <map>
#include <optional>
#include <string>

#include "platform/runtime_error.h"
#include "platform/system.h"

// Machine facts set by the test, answered with the Win32 calls' buffer rules.
class FakeSystem : public System {
 public:
  bool GetComputerName(char* buffer, std::uint32_t& size) override {
    if (computerName.size() + 1 > size) {
      size = static_cast<std::uint32_t>(computerName.size() + 1);
      lastError = 111;
      return false;
    }
    std::memcpy(buffer, computerName.c_str(), computerName.size() + 1);
    size = static_cast<std::uint32_t>(computerName.size());
    return true;
  }
  bool GetUserName(char* buffer, std::uint32_t& size) override {
    if (userName.size() + 1 > size) {
      size = static_cast<std::uint32_t>(userName.size() + 1);
      lastError = 122;
      return false;
    }
    std::memcpy(buffer, userName.c_str(), userName.size() + 1);
    size = static_cast<std::uint32_t>(userName.size() + 1);
    return true;
  }
  bool GetVersionEx(OsVersionInfo& record) override {
    if (record.osVersionInfoSize == 156 && !extendedRecord) return false;
    if (record.osVersionInfoSize != 156 && record.osVersionInfoSize != 148) return false;
    const std::uint32_t size = record.osVersionInfoSize;
    OsVersionInfo copy = version;
    copy.osVersionInfoSize = size;
    if (size == 148) {
      copy.servicePackMajor = copy.servicePackMinor = copy.suiteMask = 0;
      copy.productType = copy.reserved = 0;
    }
    record = copy;
    return true;
  }
  std::uint32_t GetVersion() override {
    return version.majorVersion | (version.minorVersion << 8) | (version.buildNumber << 16);
  }
  bool OpenProcessToken(std::uint32_t, std::uintptr_t& token) override {
    token = tokenOpens ? 77 : 0;
    if (!tokenOpens) lastError = 5;
    return tokenOpens;
  }
  bool GetUserProfileDirectory(std::uintptr_t token, char* buffer, std::uint32_t& size) override {
    if (token == 0 || profileDirectory.empty()) {
      lastError = token == 0 ? 6 : 2;
      return false;
    }
    if (profileDirectory.size() + 1 > size) {
      size = static_cast<std::uint32_t>(profileDirectory.size() + 1);
      lastError = 122;
      return false;
    }
    std::memcpy(buffer, profileDirectory.c_str(), profileDirectory.size() + 1);
    size = static_cast<std::uint32_t>(profileDirectory.size() + 1);
    return true;
  }
  void CloseToken(std::uintptr_t) override {}
  std::uint32_t GetShortPathName(const std::string& path, char* buffer,
                                 std::uint32_t capacity) override {
    if (raises) throw *raises;
    auto it = shortPaths.find(path);
    if (it == shortPaths.end()) {
      lastError = 2;
      return 0;
    }
    if (it->second.size() + 1 > capacity) return static_cast<std::uint32_t>(it->second.size() + 1);
    std::memcpy(buffer, it->second.c_str(), it->second.size() + 1);
    return static_cast<std::uint32_t>(it->second.size());
  }
  std::uint32_t GetSystemDirectory(char* buffer, std::uint32_t capacity) override {
    if (raises) throw *raises;
    if (systemDirectory.empty()) return 0;
    if (systemDirectory.size() + 1 > capacity)
      return static_cast<std::uint32_t>(systemDirectory.size() + 1);
    std::memcpy(buffer, systemDirectory.c_str(), systemDirectory.size() + 1);
    return static_cast<std::uint32_t>(systemDirectory.size());
  }
  long GetSpecialFolderPath(int csidl, std::string& path) override {
    if (raises) throw *raises;
    auto it = specialFolders.find(csidl);
    if (it == specialFolders.end()) {
      path.clear();
      return static_cast<long>(0x80070002L);
    }
    path = it->second;
    return 0;
  }
  std::uint32_t FormatMessage(std::uint32_t code, char* buffer, std::uint32_t capacity) override {
    if (raises) throw *raises;
    auto it = messages.find(code);
    if (it == messages.end()) {
      lastError = 317;
      return 0;
    }
    const std::string text = it->second + "\r\n";
    if (text.size() + 1 > capacity) {
      lastError = 122;
      return 0;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return formatMessageLength.value_or(static_cast<std::uint32_t>(text.size()));
  }
  std::uint32_t GetLastError() override { return lastError; }
  std::uint32_t ExpandEnvironmentStrings(const std::string& source, char* buffer,
                                         std::uint32_t capacity) override;

  std::string computerName = "WS-0042";
  std::string userName = "operator";
  std::string profileDirectory = "C:\\Users\\operator";
  std::string systemDirectory = "C:\\WINDOWS\\system32";
  bool tokenOpens = true;
  bool extendedRecord = true;
  OsVersionInfo version{};
  std::map<std::string, std::string> shortPaths;
  std::map<int, std::string> specialFolders{{37, "C:\\WINDOWS\\system32"}};
  std::map<std::uint32_t, std::string> messages{
      {0, "The operation completed successfully."},
      {2, "The system cannot find the file specified."},
      {5, "Access is denied."},
      {6, "The handle is invalid."},
      {111, "The file name is too long."},
      {122, "The data area passed to a system call is too small."},
      {234, "More data is available."},
      {259, "No more data is available."}};
  // Variables ExpandEnvironmentStrings replaces (names without regard to case).
  std::map<std::string, std::string> expandVariables;
  std::uint32_t lastError = 0;
  // When set, the buffer-filling calls (short path, system and special folders, messages)
  // raise it, as a run-time error on the way would.
  std::optional<RuntimeError> raises;
  // When set, FormatMessage reports this length whatever it wrote.
  std::optional<std::uint32_t> formatMessageLength;
};
