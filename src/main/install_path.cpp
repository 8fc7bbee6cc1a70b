#include "main/install_path.h"

#include "text/text_util.h"

std::string NormalizeInstallPath(const std::string& value, const std::string& separator) {
  const bool network = value.rfind("\\\\", 0) == 0;
  std::string path = network ? "\\\\" + text::ReplaceAll(value.substr(2), "\\\\", "\\")
                             : text::ReplaceAll(value, "\\\\", "\\");
  const std::string trimmed = text::Trim(path);
  const char last = trimmed.empty() ? '\0' : trimmed.back();
  if (last != '\\' && (separator.empty() || last != separator.back())) path += separator;
  return path;
}
