#pragma once
// An in-memory registry for unit tests: the same emulation as the POSIX store, on maps.
// Tests seed and inspect it through paths such as "HKLM\SOFTWARE\DORAZA" (hive token or
// long name first); the helpers throw std::logic_error when the registry refuses.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry_emulation.h"
#include "platform/registry_storage.h"

class MemoryStorage : public RegistryStorage {
 public:
  MemoryStorage();
  long BeginWrite() override;
  long Commit() override;
  void Rollback() override;
  long KeyExists(KeyId key) override;
  long FindChild(KeyId parent, const std::string& folded, KeyId& child) override;
  long AddChild(KeyId parent, const std::string& name, const std::string& folded,
                KeyId& child) override;
  long ChildAt(KeyId parent, std::uint32_t index, std::string& name) override;
  long HasChildren(KeyId key, bool& any) override;
  long RemoveKey(KeyId key) override;
  long GetValue(KeyId key, const std::string& folded, StoredValue& value) override;
  long PutValue(KeyId key, const std::string& folded, const StoredValue& value) override;
  long RemoveValue(KeyId key, const std::string& folded) override;
  long ValueAt(KeyId key, std::uint32_t index, StoredValue& value) override;

  // Every call answers this code instead while it is not 0 (a store that has gone bad).
  long failWith = 0;

 private:
  struct Key {
    KeyId parent = 0;
    std::string name;
    std::map<std::string, KeyId> children;  // by folded name
    std::map<std::string, StoredValue> values;
  };
  struct State {
    std::map<KeyId, Key> keys;
    KeyId next = kHiveCount + 1;
  };
  State state_;
  std::optional<State> before_;  // the state at BeginWrite, for Rollback
};

class MemoryRegistry : public EmulatedRegistry {
 public:
  MemoryRegistry() : EmulatedRegistry(storage_) {}

  // A failed call's result: Windows leaves it as it was, so code must not keep it; here it
  // gets a value no call hands out, or with wineResults (the conformance suite) Wine's 0.
  bool wineResults = false;
  static constexpr RegKey kLeftByFailure = 0x0BAD0BAD;
  long OpenKey(RegKey root, const std::string& sub, RegKey& r) override {
    return Leave(EmulatedRegistry::OpenKey(root, sub, r), r);
  }
  long OpenKeyEx(RegKey root, const std::string& sub, std::uint32_t mask, RegKey& r) override {
    return Leave(EmulatedRegistry::OpenKeyEx(root, sub, mask, r), r);
  }
  long CreateKey(RegKey root, const std::string& sub, RegKey& r) override {
    return Leave(EmulatedRegistry::CreateKey(root, sub, r), r);
  }
  long CreateKeyEx(RegKey root, const std::string& sub, const std::string& cls,
                   std::uint32_t options, std::uint32_t mask, RegKey& r,
                   std::uint32_t* disposition) override {
    return Leave(EmulatedRegistry::CreateKeyEx(root, sub, cls, options, mask, r, disposition), r);
  }

  // Creates the key and any missing parents.
  void CreatePath(const std::string& path);
  // Creates the key as needed and stores the value: a text with its terminating NUL (as
  // regedit stores it), a DWORD, or any type with the given raw bytes.
  void SetString(const std::string& path, const std::string& name, const std::string& text,
                 std::uint32_t type = reg::kSz);
  // A link key at path to target, a full name such as "\\Registry\\Machine\\SOFTWARE\\X".
  void CreateLink(const std::string& path, const std::string& target);
  void SetDword(const std::string& path, const std::string& name, std::uint32_t value);
  void SetRaw(const std::string& path, const std::string& name, std::uint32_t type,
              const std::string& bytes);

  bool HasKey(const std::string& path);
  // The value's type and bytes, or nothing when the key or the value is missing.
  std::optional<StoredValue> Value(const std::string& path, const std::string& name);
  // Names in enumeration order.
  std::vector<std::string> SubkeyNames(const std::string& path);
  std::vector<std::string> ValueNames(const std::string& path);

  // The root value of a path's hive token or long name (0 when none) and the rest.
  static RegKey SplitHive(const std::string& path, std::string& subKey);

  MemoryStorage& storage() { return storage_; }

 private:
  RegKey OpenPath(const std::string& path, bool create);
  long Leave(long rc, RegKey& result) const {
    if (rc != 0 && !wineResults) result = kLeftByFailure;
    return rc;
  }
  MemoryStorage storage_;
};
