#pragma once
// What the platform tests need to set up their cases the way a user or administrator would
// on each system. The program itself never calls these.
#include <string>

namespace test_support {
// Windows: the read-only attribute; POSIX: the owner's write permission.
void SetReadOnly(const std::string& path, bool readOnly);
// A variable of this process's own environment.
void SetProcessVariable(const std::string& name, const std::string& value);
void UnsetProcessVariable(const std::string& name);
}  // namespace test_support
