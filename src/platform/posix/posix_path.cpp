#include "platform/posix/posix_path.h"

#include <cerrno>

#include "platform/runtime_error.h"

namespace posix {

std::string NativePath(const std::string& path) {
  std::string out = path;
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

long FsoNumberForErrno(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      return fso_error::kPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
      return fso_error::kPermissionDenied;
    case EEXIST:
      return fso_error::kFileAlreadyExists;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return fso_error::kDiskFull;
    default:
      return fso_error::kPathFileAccess;
  }
}

}  // namespace posix
