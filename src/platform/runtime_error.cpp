// The file-system object's texts for its failure numbers.
#include "platform/runtime_error.h"

std::string FsoErrorText(long number) {
  switch (number) {
    case fso_error::kFileNotFound:
      return "File not found";
    case fso_error::kBadFileMode:
      return "Bad file mode";
    case fso_error::kFileAlreadyExists:
      return "File already exists";
    case fso_error::kDiskFull:
      return "Disk full";
    case fso_error::kInputPastEnd:
      return "Input past end of file";
    case fso_error::kPermissionDenied:
      return "Permission denied";
    case fso_error::kPathFileAccess:
      return "Path/File access error";
    case fso_error::kPathNotFound:
      return "Path not found";
    default:
      return "Application-defined or object-defined error";
  }
}
