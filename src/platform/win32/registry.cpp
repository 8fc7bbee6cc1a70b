// The registry through the advapi32 ANSI calls, one call per method and nothing else
// between them, apart from the one guard SetValueEx needs (see there).
#include "platform/registry.h"

#include "platform/win32/win32_api.h"
// after windows.h
#include <memory>
#include <vector>

#include "platform/service_factories.h"

namespace {
HKEY ToHkey(RegKey key) {
  // Sign-extended as Windows' own predefined keys are.
  return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(key)));
}
RegKey FromHkey(HKEY key) {
  return static_cast<RegKey>(reinterpret_cast<ULONG_PTR>(key));
}

class Win32Registry final : public Registry {
 public:
  long OpenKey(RegKey root, const std::string& subKey, RegKey& result) override {
    HKEY key = nullptr;
    const LONG rc = RegOpenKeyA(ToHkey(root), subKey.c_str(), &key);
    result = FromHkey(key);
    return rc;
  }
  long OpenKeyEx(RegKey root, const std::string& subKey, std::uint32_t mask,
                 RegKey& result) override {
    HKEY key = nullptr;
    const LONG rc = RegOpenKeyExA(ToHkey(root), subKey.c_str(), 0, mask, &key);
    result = FromHkey(key);
    return rc;
  }
  long OpenKeyExOptions(RegKey root, const std::string& subKey, std::uint32_t options,
                        std::uint32_t mask, RegKey& result) override {
    HKEY key = nullptr;
    const LONG rc = RegOpenKeyExA(ToHkey(root), subKey.c_str(), options, mask, &key);
    result = FromHkey(key);
    return rc;
  }
  long CreateKey(RegKey root, const std::string& subKey, RegKey& result) override {
    HKEY key = nullptr;
    const LONG rc = RegCreateKeyA(ToHkey(root), subKey.c_str(), &key);
    result = FromHkey(key);
    return rc;
  }
  long CreateKeyEx(RegKey root, const std::string& subKey, const std::string& keyClass,
                   std::uint32_t options, std::uint32_t mask, RegKey& result,
                   std::uint32_t* disposition) override {
    HKEY key = nullptr;
    DWORD how = 0;
    const LONG rc =
        RegCreateKeyExA(ToHkey(root), subKey.c_str(), 0, const_cast<char*>(keyClass.c_str()),
                        options, mask, nullptr, &key, &how);
    result = FromHkey(key);
    if (disposition) *disposition = how;
    return rc;
  }
  long QueryValueEx(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override {
    DWORD t = type ? *type : 0;
    DWORD n = size ? *size : 0;
    const LONG rc = RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, type ? &t : nullptr, data,
                                     size ? &n : nullptr);
    if (type) *type = t;
    if (size) *size = n;
    return rc;
  }
  long SetValueEx(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override {
    // For string types, advapi32 stores one byte more than asked when the byte after the
    // data is a NUL (it takes the length as forgetting the terminator). Callers mean
    // exactly size bytes, so the data goes from a copy followed by a byte that is not 0.
    std::vector<BYTE> guarded;
    const BYTE* bytes = data;
    if (data && size && (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ)) {
      guarded.assign(data, data + size);
      guarded.push_back(1);
      bytes = guarded.data();
    }
    return RegSetValueExA(ToHkey(key), name.c_str(), 0, type, bytes, size);
  }
  long EnumKeyEx(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize) override {
    DWORD n = nameSize ? *nameSize : 0;
    const LONG rc = RegEnumKeyExA(ToHkey(key), index, name, nameSize ? &n : nullptr, nullptr,
                                  nullptr, nullptr, nullptr);
    if (nameSize) *nameSize = n;
    return rc;
  }
  long EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                 std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) override {
    DWORD n = nameSize ? *nameSize : 0;
    DWORD t = 0;
    DWORD d = dataSize ? *dataSize : 0;
    const LONG rc = RegEnumValueA(ToHkey(key), index, name, nameSize ? &n : nullptr, nullptr,
                                  type ? &t : nullptr, data, dataSize ? &d : nullptr);
    if (nameSize) *nameSize = n;
    if (type) *type = t;
    if (dataSize) *dataSize = d;
    return rc;
  }
  long DeleteKey(RegKey key, const std::string& subKey) override {
    return RegDeleteKeyA(ToHkey(key), subKey.c_str());
  }
  long DeleteValue(RegKey key, const std::string& name) override {
    return RegDeleteValueA(ToHkey(key), name.c_str());
  }
  long CloseKey(RegKey key) override { return RegCloseKey(ToHkey(key)); }
};
}  // namespace

std::unique_ptr<Registry> CreateRegistry() {
  return std::make_unique<Win32Registry>();
}
