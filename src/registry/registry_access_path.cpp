// The path model: hive tokens and long names, and how a path string becomes a root key
// and a subkey.
#include "registry/registry_access.h"

#include "platform/hive_names.h"
#include "text/text_util.h"

void clsRegistryAccess::ParseKeyPath(std::string& sPath, std::string& subKey, RegKey& rootKey) {
  for (const HiveName& h : kHiveNames)
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
  // An exact comparison: the token is upper case already, and a long name is no token.
  for (const HiveName& h : kHiveNames)
    if (token == h.token) rootKey = h.root;
}

clsRegistryAccess::KeyPath clsRegistryAccess::SplitKeyPath(std::string& sPath) {
  KeyPath path;
  ParseKeyPath(sPath, path.subKey, path.root);
  return path;
}

std::string clsRegistryAccess::ExpandHiveNames(std::string sPath) {
  // The inverse of the shortening above, in the order HKCU, HKLM, HKCR, HKUS, HKPD, HKDD, HKCC.
  for (const HiveName& h : kHiveNames)
    sPath = text::ReplaceNoCase(sPath, std::string(h.token), std::string(h.longName));
  return sPath;
}
