#pragma once
// Where an emulated registry keeps its keys and values. The storage knows nothing of
// handles, rights or paths; EmulatedRegistry (registry_emulation.h) gives the Win32
// meaning on top, so every storage behaves alike.
//
// Keys are numbers the storage hands out and never reuses; the seven hives are the keys
// 1 to 7 and always exist. Names are looked up by the folded form the caller passes
// (EmulatedRegistry::Fold: each byte as the lower-case Unicode code point of its
// Windows-1252 character, two bytes high first; the storage only compares bytes), and
// children and values are listed in byte order of that form, which is code point order and
// puts the default value (name "") first.
#include <cstdint>
#include <string>

struct StoredValue {
  std::string name;  // as first written
  std::uint32_t type = 0;
  std::string data;  // raw bytes
};

class RegistryStorage {
 public:
  using KeyId = std::int64_t;
  static constexpr KeyId kHiveCount = 7;

  virtual ~RegistryStorage() = default;

  // Every call answers a Win32 code: 0 done, 2 no such key or value, 259 past the end of
  // a listing; anything else is the storage failing (unreadable, corrupt, busy ...).

  // A write is bracketed by BeginWrite and Commit (or Rollback after a failure), so that
  // it takes effect whole or not at all.
  virtual long BeginWrite() = 0;
  virtual long Commit() = 0;
  virtual void Rollback() = 0;

  // 0 while the key exists, 2 once it has been deleted.
  virtual long KeyExists(KeyId key) = 0;
  virtual long FindChild(KeyId parent, const std::string& folded, KeyId& child) = 0;
  virtual long AddChild(KeyId parent, const std::string& name, const std::string& folded,
                        KeyId& child) = 0;
  virtual long ChildAt(KeyId parent, std::uint32_t index, std::string& name) = 0;
  virtual long HasChildren(KeyId key, bool& any) = 0;
  // Removes a key that has no children, with its values.
  virtual long RemoveKey(KeyId key) = 0;

  virtual long GetValue(KeyId key, const std::string& folded, StoredValue& value) = 0;
  // Adds the value, or replaces type and data of the one with that folded name (whose
  // name stays as first written).
  virtual long PutValue(KeyId key, const std::string& folded, const StoredValue& value) = 0;
  virtual long RemoveValue(KeyId key, const std::string& folded) = 0;
  virtual long ValueAt(KeyId key, std::uint32_t index, StoredValue& value) = 0;
};
