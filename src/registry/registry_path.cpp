// The path model: hive tokens and long names, and how a path string becomes a root key
// and a subkey.
#include <array>
#include <string_view>

#include "registry/registry_access.h"
#include "text/text_util.h"

namespace {
struct Hive {
  std::string_view token;
  std::string_view longName;
  RegKey root;
};
// In the order long names are shortened.
constexpr std::array<Hive, 7> kHives{{
    {"HKCU", "HKEY_CURRENT_USER", reg::kCurrentUser},
    {"HKLM", "HKEY_LOCAL_MACHINE", reg::kLocalMachine},
    {"HKCR", "HKEY_CLASSES_ROOT", reg::kClassesRoot},
    {"HKUS", "HKEY_USERS", reg::kUsers},
    {"HKPD", "HKEY_PERFORMANCE_DATA", reg::kPerformanceData},
    {"HKDD", "HKEY_DYN_DATA", reg::kDynData},
    {"HKCC", "HKEY_CURRENT_CONFIG", reg::kCurrentConfig},
}};
}  // namespace

void clsRegistryAccess::ParseKeyPath(std::string& sPath, std::string& subKey, RegKey& rootKey) {
  for (const Hive& h : kHives)
    sPath = text::ReplaceNoCase(sPath, std::string(h.longName), std::string(h.token));
  const std::size_t slash = sPath.find('\\');
  std::string token;
  if (slash != std::string::npos) {
    token = text::UpperAscii(sPath.substr(0, 4));
    subKey = sPath.substr(slash + 1);
  } else {
    token = text::UpperAscii(sPath);
    subKey.clear();
  }
  rootKey = 0;
  for (const Hive& h : kHives)
    if (token == h.token) rootKey = h.root;
}

std::string clsRegistryAccess::ExpandHiveNames(std::string sPath) {
  // The inverse of the shortening above, in the order HKCU, HKLM, HKCR, HKUS, HKPD, HKDD, HKCC.
  for (const Hive& h : kHives)
    sPath = text::ReplaceNoCase(sPath, std::string(h.token), std::string(h.longName));
  return sPath;
}
