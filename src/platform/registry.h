#pragma once
// The registry, shaped after the advapi32 ANSI calls: 32-bit key handles (0 is never a
// handle), the seven predefined roots, results as Win32 error codes.
#include <cstdint>
#include <string>

#include "platform/win32_error.h"

using RegKey = std::uint32_t;

namespace reg {
inline constexpr RegKey kClassesRoot = 0x80000000u;
inline constexpr RegKey kCurrentUser = 0x80000001u;
inline constexpr RegKey kLocalMachine = 0x80000002u;
inline constexpr RegKey kUsers = 0x80000003u;
inline constexpr RegKey kPerformanceData = 0x80000004u;
inline constexpr RegKey kCurrentConfig = 0x80000005u;
inline constexpr RegKey kDynData = 0x80000006u;

inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kSz = 1;
inline constexpr std::uint32_t kExpandSz = 2;
inline constexpr std::uint32_t kBinary = 3;
inline constexpr std::uint32_t kDword = 4;
inline constexpr std::uint32_t kLink = 6;
inline constexpr std::uint32_t kMultiSz = 7;

// A link key: made with kOptionCreateLink, it holds its target's full name in UTF-16LE
// ("\Registry\Machine\SOFTWARE\X") in the REG_LINK value kLinkValueName, and opening it by
// path opens the target instead, unless kOptionOpenLink asks for the link itself.
inline constexpr std::uint32_t kOptionCreateLink = 0x2;
inline constexpr std::uint32_t kOptionOpenLink = 0x8;
inline constexpr char kLinkValueName[] = "SymbolicLinkValue";

inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyWrite = 0x20006;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;
// The registry views of a 32-bit process on 64-bit Windows. One at a time: Windows 7 and
// later answer 87 (ERROR_INVALID_PARAMETER) to a call that carries both.
inline constexpr std::uint32_t kView64Bit = 0x100;  // KEY_WOW64_64KEY: the native view
inline constexpr std::uint32_t kView32Bit = 0x200;  // KEY_WOW64_32KEY: the redirected view
}  // namespace reg

class Registry {
 public:
  virtual ~Registry() = default;
  // RegOpenKeyA: no mask.
  virtual long OpenKey(RegKey root, const std::string& subKey, RegKey& result) = 0;
  // RegOpenKeyExA.
  virtual long OpenKeyEx(RegKey root, const std::string& subKey, std::uint32_t mask,
                         RegKey& result) = 0;
  // RegOpenKeyExA with its options (reg::kOptionOpenLink).
  virtual long OpenKeyExOptions(RegKey root, const std::string& subKey, std::uint32_t options,
                                std::uint32_t mask, RegKey& result) = 0;
  // RegCreateKeyA: creates missing parents too.
  virtual long CreateKey(RegKey root, const std::string& subKey, RegKey& result) = 0;
  // RegCreateKeyExA; disposition (may be null) gets 1 (created) or 2 (opened).
  virtual long CreateKeyEx(RegKey root, const std::string& subKey, const std::string& keyClass,
                           std::uint32_t options, std::uint32_t mask, RegKey& result,
                           std::uint32_t* disposition) = 0;
  // RegQueryValueExA. data may be null (size lookup). *size is capacity in, length out;
  // a buffer too small answers 234 with the needed size.
  virtual long QueryValueEx(RegKey key, const std::string& name, std::uint32_t* type,
                            std::uint8_t* data, std::uint32_t* size) = 0;
  // RegSetValueExA: stores exactly size bytes of data.
  virtual long SetValueEx(RegKey key, const std::string& name, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) = 0;
  // RegEnumKeyExA: *nameSize is capacity in (with the NUL), length out (without it).
  virtual long EnumKeyEx(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize) = 0;
  // RegEnumValueA.
  virtual long EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                         std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) = 0;
  // RegDeleteKeyA: subKey "" deletes the opened key itself.
  virtual long DeleteKey(RegKey key, const std::string& subKey) = 0;
  virtual long DeleteValue(RegKey key, const std::string& name) = 0;
  virtual long CloseKey(RegKey key) = 0;
};
