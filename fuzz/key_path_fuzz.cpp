// ParseKeyPath on any bytes: a known root or none, no long hive name left in the path,
// the same answer when parsed again, and the export's expansion undone by parsing.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "registry/registry_access.h"
#include "support/check.h"
#include "text/text_util.h"

namespace {
const std::array<std::string, 7> kLongNames = {
    "HKEY_CURRENT_USER",     "HKEY_LOCAL_MACHINE", "HKEY_CLASSES_ROOT",  "HKEY_USERS",
    "HKEY_PERFORMANCE_DATA", "HKEY_DYN_DATA",      "HKEY_CURRENT_CONFIG"};

bool KnownRoot(RegKey root) {
  return root == 0 || (root >= reg::kClassesRoot && root <= reg::kDynData);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::string path = input;
  std::string subKey = "stale";
  RegKey root = 1;
  clsRegistryAccess::ParseKeyPath(path, subKey, root);
  FUZZ_CHECK(KnownRoot(root));
  for (const std::string& name : kLongNames) FUZZ_CHECK(!text::ContainsNoCase(path, name));
  const std::size_t slash = path.find('\\');
  FUZZ_CHECK(subKey == (slash == std::string::npos ? "" : path.substr(slash + 1)));
  // A path without a long name in it is left as it came.
  if (path.size() == input.size()) FUZZ_CHECK(path == input);

  std::string again = path;
  std::string subKey2;
  RegKey root2 = 0;
  clsRegistryAccess::ParseKeyPath(again, subKey2, root2);
  FUZZ_CHECK(again == path && subKey2 == subKey && root2 == root);

  std::string expanded = clsRegistryAccess::ExpandHiveNames(path);
  std::string subKey3;
  RegKey root3 = 0;
  clsRegistryAccess::ParseKeyPath(expanded, subKey3, root3);
  FUZZ_CHECK(text::EqualsNoCase(expanded, path) && root3 == root);
  return 0;
}
