#include "platform/executable_path.h"

namespace {
std::string FolderOf(const std::string& path, std::size_t slash) {
  if (slash == std::string::npos) return ".";
  if (slash == 0) return path.substr(0, 1);
  std::string folder = path.substr(0, slash);
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';  // a drive root: "C:\"
  return folder;
}

std::string NameOf(const std::string& file) {
  const std::size_t dot = file.rfind('.');
  return (dot == std::string::npos || dot == 0) ? file : file.substr(0, dot);
}
}  // namespace

ExecutablePath SplitExecutablePath(const std::string& path, const char* separators) {
  const std::size_t slash = path.find_last_of(separators);
  return {FolderOf(path, slash),
          NameOf(slash == std::string::npos ? path : path.substr(slash + 1))};
}
