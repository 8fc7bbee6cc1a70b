#include "registry/registry_key.h"

long RegistryKey::Open(RegKey root, const std::string& subKey) {
  RegKey key = 0;
  const long rc = registry_.OpenKey(root, subKey, key);
  return Hold(rc, key);
}

long RegistryKey::OpenEx(RegKey root, const std::string& subKey, std::uint32_t mask) {
  RegKey key = 0;
  const long rc = registry_.OpenKeyEx(root, subKey, mask, key);
  return Hold(rc, key);
}

long RegistryKey::OpenExOptions(RegKey root, const std::string& subKey, std::uint32_t options,
                                std::uint32_t mask) {
  RegKey key = 0;
  const long rc = registry_.OpenKeyExOptions(root, subKey, options, mask, key);
  return Hold(rc, key);
}

long RegistryKey::Create(RegKey root, const std::string& subKey) {
  RegKey key = 0;
  const long rc = registry_.CreateKey(root, subKey, key);
  return Hold(rc, key);
}

long RegistryKey::CreateEx(RegKey root, const std::string& subKey, const std::string& keyClass,
                           std::uint32_t options, std::uint32_t mask, std::uint32_t* disposition) {
  RegKey key = 0;
  const long rc = registry_.CreateKeyEx(root, subKey, keyClass, options, mask, key, disposition);
  return Hold(rc, key);
}

long RegistryKey::Close() {
  if (key_ == 0) return 0;
  const RegKey key = key_;
  key_ = 0;
  return registry_.CloseKey(key);
}

// A failed call leaves nothing to close, whatever it wrote to its result.
long RegistryKey::Hold(long rc, RegKey key) {
  if (rc == win32_error::kSuccess) key_ = key;
  return rc;
}
