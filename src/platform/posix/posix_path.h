#pragma once
// POSIX-only helpers shared by the stand-in services.
#include <string>

namespace posix {
// Paths that come from the registry may carry "\" between parts; the file system wants "/".
std::string NativePath(const std::string& path);
// The file-system object's error number for an errno value.
long FsoNumberForErrno(int err);
}  // namespace posix
