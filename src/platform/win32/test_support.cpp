// Windows side of the tests' set-up helpers.
#include "platform/win32/win32_api.h"
// after windows.h
#include "platform/test_support.h"

namespace test_support {

void SetReadOnly(const std::string& path, bool readOnly) {
  const DWORD a = GetFileAttributesA(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesA(path.c_str(),
                     readOnly ? (a | FILE_ATTRIBUTE_READONLY) : (a & ~FILE_ATTRIBUTE_READONLY));
}

void SetProcessVariable(const std::string& name, const std::string& value) {
  SetEnvironmentVariableA(name.c_str(), value.c_str());
}

void UnsetProcessVariable(const std::string& name) {
  SetEnvironmentVariableA(name.c_str(), nullptr);
}

}  // namespace test_support
