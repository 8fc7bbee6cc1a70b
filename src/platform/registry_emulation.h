#pragma once
// The Win32 registry calls emulated on a RegistryStorage: handles, access rights, key
// paths, buffer rules and error codes as Wine's advapi32 answers them. Both the in-memory
// test registry and the SQLite store of the POSIX build are this class on a different
// storage, so the two cannot drift apart.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/registry_storage.h"

class EmulatedRegistry : public Registry {
 public:
  explicit EmulatedRegistry(RegistryStorage& storage) : storage_(storage) {}

  long OpenKey(RegKey root, const std::string& subKey, RegKey& result) override;
  long OpenKeyEx(RegKey root, const std::string& subKey, std::uint32_t mask,
                 RegKey& result) override;
  long OpenKeyExOptions(RegKey root, const std::string& subKey, std::uint32_t options,
                        std::uint32_t mask, RegKey& result) override;
  long CreateKey(RegKey root, const std::string& subKey, RegKey& result) override;
  long CreateKeyEx(RegKey root, const std::string& subKey, const std::string& keyClass,
                   std::uint32_t options, std::uint32_t mask, RegKey& result,
                   std::uint32_t* disposition) override;
  long QueryValueEx(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override;
  long SetValueEx(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override;
  long EnumKeyEx(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize) override;
  long EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                 std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) override;
  long DeleteKey(RegKey key, const std::string& subKey) override;
  long DeleteValue(RegKey key, const std::string& name) override;
  long CloseKey(RegKey key) override;

  // Handles opened and not yet closed (the predefined roots are not counted).
  std::size_t OpenHandleCount() const { return handles_.size(); }

  // The form names are compared and ordered in: each byte of the ANSI code page
  // (Windows-1252) as its lower-case Unicode code point, two bytes high first, so that
  // byte order is the order Wine lists keys and values in.
  static std::string Fold(const std::string& name);

 private:
  using KeyId = RegistryStorage::KeyId;
  struct Handle {
    KeyId key;
    std::uint32_t access;
  };

  // The key behind a handle and the rights it was opened with: 6 for 0 or a handle not
  // open, 1018 when its key has been deleted since.
  long Resolve(RegKey handle, Handle& out);
  long Open(RegKey root, const std::string& subKey, std::uint32_t access, std::uint32_t options,
            RegKey& result);
  long Create(RegKey root, const std::string& subKey, std::uint32_t access, std::uint32_t options,
              RegKey& result, std::uint32_t* disposition);
  // Walks the key path below from; the first missing part answers 2 unless create is set.
  // A link key on the way is followed to its target; the last part only without openLink.
  long Walk(KeyId from, const std::vector<std::string>& parts, bool create, KeyId& key,
            bool& created, bool openLink = false, int depth = 0);
  // 0 with the link's target in key when key is a link key, 2 when it is no link.
  long FollowLink(KeyId& key, int depth);
  bool IsLink(KeyId key);
  RegKey NewHandle(KeyId key, std::uint32_t access);
  static void TerminateString(const StoredValue& value, std::uint8_t* data, std::uint32_t capacity);

  RegistryStorage& storage_;
  std::map<RegKey, Handle> handles_;
  RegKey nextHandle_ = 0x100;
};
