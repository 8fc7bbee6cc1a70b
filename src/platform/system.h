#pragma once
// Machine and user facts and the kernel32/shell32/userenv helpers, shaped after the ANSI
// calls: a caller-supplied buffer and capacity in, a length or a Win32 error code out.
#include <cstdint>
#include <string>

// OSVERSIONINFOEXA, field for field (156 bytes on Windows; 148 without the last five).
struct OsVersionInfo {
  std::uint32_t osVersionInfoSize = 0;
  std::uint32_t majorVersion = 0;
  std::uint32_t minorVersion = 0;
  std::uint32_t buildNumber = 0;
  std::uint32_t platformId = 0;
  char csdVersion[128] = {};
  std::uint16_t servicePackMajor = 0;
  std::uint16_t servicePackMinor = 0;
  std::uint16_t suiteMask = 0;
  std::uint8_t productType = 0;
  std::uint8_t reserved = 0;
};

class System {
 public:
  virtual ~System() = default;
  // GetComputerNameA: size is capacity in; on success the name's length out (no NUL);
  // false and the last error (111) when it does not fit.
  virtual bool GetComputerName(char* buffer, std::uint32_t& size) = 0;
  // GetUserNameA: size is capacity in, length with the NUL out.
  virtual bool GetUserName(char* buffer, std::uint32_t& size) = 0;
  // GetVersionExA with record.osVersionInfoSize = 156 or 148; false when refused.
  virtual bool GetVersionEx(OsVersionInfo& record) = 0;
  // GetVersion: low byte major, next byte minor.
  virtual std::uint32_t GetVersion() = 0;
  // OpenProcessToken(GetCurrentProcess(), access); token 0 when it fails.
  virtual bool OpenProcessToken(std::uint32_t access, std::uintptr_t& token) = 0;
  // GetUserProfileDirectoryA; size capacity in, needed/actual length with NUL out.
  virtual bool GetUserProfileDirectory(std::uintptr_t token, char* buffer, std::uint32_t& size) = 0;
  virtual void CloseToken(std::uintptr_t token) = 0;
  // GetShortPathNameA: the length copied, the size needed when too small, 0 on failure.
  virtual std::uint32_t GetShortPathName(const std::string& path, char* buffer,
                                         std::uint32_t capacity) = 0;
  // GetSystemDirectoryA: the length, 0 on failure.
  virtual std::uint32_t GetSystemDirectory(char* buffer, std::uint32_t capacity) = 0;
  // SHGetSpecialFolderLocation + SHGetPathFromIDListA: 0 (S_OK) and the folder, or an
  // HRESULT and "" when there is no such folder.
  virtual long GetSpecialFolderPath(int csidl, std::string& path) = 0;
  // FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS), inserts
  // such as %1 kept as text: the length written (message with its
  // closing CR LF), 0 when the system has no text for the code.
  virtual std::uint32_t FormatMessage(std::uint32_t code, char* buffer, std::uint32_t capacity) = 0;
  virtual std::uint32_t GetLastError() = 0;
  // ExpandEnvironmentStringsA: the length needed including the NUL; 0 on failure.
  virtual std::uint32_t ExpandEnvironmentStrings(const std::string& source, char* buffer,
                                                 std::uint32_t capacity) = 0;
};
