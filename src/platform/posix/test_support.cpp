// POSIX side of the tests' set-up helpers.
#include "platform/test_support.h"

#include <sys/stat.h>

#include <cstdlib>

#include "platform/posix/posix_path.h"

namespace test_support {

void SetReadOnly(const std::string& path, bool readOnly) {
  const std::string p = posix::NativePath(path);
  struct stat st {};
  if (::stat(p.c_str(), &st) != 0) return;
  const mode_t writable = S_IWUSR | S_IWGRP | S_IWOTH;
  ::chmod(p.c_str(), readOnly ? (st.st_mode & ~writable) : (st.st_mode | S_IWUSR));
}

void SetProcessVariable(const std::string& name, const std::string& value) {
  ::setenv(name.c_str(), value.c_str(), 1);
}

void UnsetProcessVariable(const std::string& name) {
  ::unsetenv(name.c_str());
}

}  // namespace test_support
