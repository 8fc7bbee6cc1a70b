#include "platform/registry_emulation.h"

#include <cstring>

namespace {
using KeyId = RegistryStorage::KeyId;

constexpr std::uint32_t kQueryValue = 0x0001;
constexpr std::uint32_t kSetValue = 0x0002;
constexpr std::uint32_t kEnumerateSubKeys = 0x0008;
constexpr std::uint32_t kAllRights = reg::kKeyAllAccess;
constexpr std::uint32_t kMaximumAllowed = 0x02000000;
constexpr std::uint32_t kGenericAll = 0x10000000;
constexpr std::uint32_t kGenericExecute = 0x20000000;
constexpr std::uint32_t kGenericWrite = 0x40000000;
constexpr std::uint32_t kGenericRead = 0x80000000;

bool IsRoot(RegKey handle) {
  return handle >= reg::kClassesRoot && handle <= reg::kDynData;
}

// The rights a mask grants; generic rights map as Windows maps them for keys, and the
// view bits grant nothing (there is one view here).
std::uint32_t Rights(std::uint32_t mask) {
  std::uint32_t rights = mask & kAllRights;
  if (mask & (kMaximumAllowed | kGenericAll)) rights |= kAllRights;
  if (mask & (kGenericRead | kGenericExecute)) rights |= reg::kKeyRead;
  if (mask & kGenericWrite) rights |= reg::kKeyWrite;
  return rights;
}

// A key path's parts. A leading backslash is a bad path name (161); a trailing one is
// ignored; two in a row leave an empty part, which names no key.
long SplitPath(const std::string& path, std::vector<std::string>& parts) {
  parts.clear();
  if (path.empty()) return win32_error::kSuccess;
  if (path[0] == '\\') return win32_error::kBadPathname;
  std::size_t start = 0;
  while (start < path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  for (const std::string& part : parts)
    if (part.empty()) return win32_error::kBadPathname;
  return win32_error::kSuccess;
}

// Runs one change as one storage transaction.
template <typename Change>
long Transact(RegistryStorage& storage, Change change) {
  long rc = storage.BeginWrite();
  if (rc != win32_error::kSuccess) return rc;
  rc = change();
  if (rc != win32_error::kSuccess) {
    storage.Rollback();
    return rc;
  }
  rc = storage.Commit();
  if (rc != win32_error::kSuccess) storage.Rollback();
  return rc;
}
}  // namespace

std::string EmulatedRegistry::Fold(const std::string& name) {
  std::string folded = name;
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return folded;
}

long EmulatedRegistry::Resolve(RegKey handle, Handle& out) {
  if (IsRoot(handle)) {
    out = Handle{static_cast<KeyId>(handle - reg::kClassesRoot) + 1, kAllRights};
    return win32_error::kSuccess;
  }
  auto it = handles_.find(handle);
  if (it == handles_.end()) return win32_error::kInvalidHandle;
  long rc = storage_.KeyExists(it->second.key);
  if (rc == win32_error::kFileNotFound) return win32_error::kKeyDeleted;
  if (rc != win32_error::kSuccess) return rc;
  out = it->second;
  return win32_error::kSuccess;
}

RegKey EmulatedRegistry::NewHandle(KeyId key, std::uint32_t access) {
  // Handle numbers step by 4 as Windows' do, never 0 and never a root's value.
  while (nextHandle_ == 0 || IsRoot(nextHandle_) || handles_.count(nextHandle_)) {
    nextHandle_ += 4;
    if (nextHandle_ >= reg::kClassesRoot) nextHandle_ = 0x100;
  }
  const RegKey handle = nextHandle_;
  nextHandle_ += 4;
  handles_[handle] = Handle{key, access};
  return handle;
}

long EmulatedRegistry::Walk(KeyId from, const std::vector<std::string>& parts, bool create,
                            KeyId& key, bool& created) {
  created = false;
  key = from;
  for (const std::string& part : parts) {
    KeyId child = 0;
    const std::string folded = Fold(part);
    long rc = storage_.FindChild(key, folded, child);
    if (rc == win32_error::kFileNotFound && create) {
      rc = storage_.AddChild(key, part, folded, child);
      created = true;
    }
    if (rc != win32_error::kSuccess) return rc;
    key = child;
  }
  return win32_error::kSuccess;
}

long EmulatedRegistry::Open(RegKey root, const std::string& subKey, std::uint32_t access,
                            RegKey& result) {
  result = 0;
  Handle parent{};
  long rc = Resolve(root, parent);
  if (rc != win32_error::kSuccess) return rc;
  std::vector<std::string> parts;
  rc = SplitPath(subKey, parts);
  if (rc != win32_error::kSuccess) return rc;
  KeyId key = 0;
  bool created = false;
  rc = Walk(parent.key, parts, false, key, created);
  if (rc != win32_error::kSuccess) return rc;
  result = NewHandle(key, access);
  return win32_error::kSuccess;
}

long EmulatedRegistry::Create(RegKey root, const std::string& subKey, std::uint32_t access,
                              RegKey& result, std::uint32_t* disposition) {
  result = 0;
  Handle parent{};
  long rc = Resolve(root, parent);
  if (rc != win32_error::kSuccess) return rc;
  std::vector<std::string> parts;
  rc = SplitPath(subKey, parts);
  if (rc != win32_error::kSuccess) return rc;
  KeyId key = 0;
  bool created = false;
  // An existing key is only read, so opening one never writes (nor creates the store).
  rc = Walk(parent.key, parts, false, key, created);
  if (rc == win32_error::kFileNotFound) {
    rc = Transact(storage_, [&] {
      Handle again{};
      long r = Resolve(root, again);
      return r != win32_error::kSuccess ? r : Walk(again.key, parts, true, key, created);
    });
  }
  if (rc != win32_error::kSuccess) return rc;
  if (disposition) *disposition = created ? 1 : 2;
  result = NewHandle(key, access);
  return win32_error::kSuccess;
}

long EmulatedRegistry::OpenKey(RegKey root, const std::string& subKey, RegKey& result) {
  // Like RegOpenKeyA: no subkey gives back the very handle passed in.
  if (subKey.empty()) {
    result = root;
    return win32_error::kSuccess;
  }
  return Open(root, subKey, kAllRights, result);
}

long EmulatedRegistry::OpenKeyEx(RegKey root, const std::string& subKey, std::uint32_t mask,
                                 RegKey& result) {
  return Open(root, subKey, Rights(mask), result);
}

long EmulatedRegistry::CreateKey(RegKey root, const std::string& subKey, RegKey& result) {
  return Create(root, subKey, kAllRights, result, nullptr);
}

long EmulatedRegistry::CreateKeyEx(RegKey root, const std::string& subKey, const std::string&,
                                   std::uint32_t, std::uint32_t mask, RegKey& result,
                                   std::uint32_t* disposition) {
  return Create(root, subKey, Rights(mask), result, disposition);
}

long EmulatedRegistry::QueryValueEx(RegKey key, const std::string& name, std::uint32_t* type,
                                    std::uint8_t* data, std::uint32_t* size) {
  if (data && !size) return win32_error::kInvalidParameter;
  Handle h{};
  long rc = Resolve(key, h);
  if (rc != win32_error::kSuccess) return rc;
  if (!(h.access & kQueryValue)) return win32_error::kAccessDenied;
  StoredValue value;
  rc = storage_.GetValue(h.key, Fold(name), value);
  if (rc != win32_error::kSuccess) return rc;
  const auto length = static_cast<std::uint32_t>(value.data.size());
  if (type) *type = value.type;
  if (data) {
    if (length > *size) {
      *size = length;
      return win32_error::kMoreData;
    }
    if (length) std::memcpy(data, value.data.data(), length);
  }
  if (size) *size = length;
  return win32_error::kSuccess;
}

long EmulatedRegistry::SetValueEx(RegKey key, const std::string& name, std::uint32_t type,
                                  const std::uint8_t* data, std::uint32_t size) {
  if (!data && size) return win32_error::kInvalidParameter;
  StoredValue value{name, type, std::string(reinterpret_cast<const char*>(data), data ? size : 0)};
  return Transact(storage_, [&] {
    Handle h{};
    long rc = Resolve(key, h);
    if (rc != win32_error::kSuccess) return rc;
    if (!(h.access & kSetValue)) return win32_error::kAccessDenied;
    return storage_.PutValue(h.key, Fold(name), value);
  });
}

long EmulatedRegistry::EnumKeyEx(RegKey key, std::uint32_t index, char* name,
                                 std::uint32_t* nameSize) {
  if (!name || !nameSize) return win32_error::kInvalidParameter;
  Handle h{};
  long rc = Resolve(key, h);
  if (rc != win32_error::kSuccess) return rc;
  if (!(h.access & kEnumerateSubKeys)) return win32_error::kAccessDenied;
  std::string child;
  rc = storage_.ChildAt(h.key, index, child);
  if (rc != win32_error::kSuccess) return rc;
  if (child.size() + 1 > *nameSize) return win32_error::kMoreData;
  std::memcpy(name, child.c_str(), child.size() + 1);
  *nameSize = static_cast<std::uint32_t>(child.size());
  return win32_error::kSuccess;
}

long EmulatedRegistry::EnumValue(RegKey key, std::uint32_t index, char* name,
                                 std::uint32_t* nameSize, std::uint32_t* type, std::uint8_t* data,
                                 std::uint32_t* dataSize) {
  if (!name || !nameSize || (data && !dataSize)) return win32_error::kInvalidParameter;
  Handle h{};
  long rc = Resolve(key, h);
  if (rc != win32_error::kSuccess) return rc;
  if (!(h.access & kQueryValue)) return win32_error::kAccessDenied;
  StoredValue value;
  rc = storage_.ValueAt(h.key, index, value);
  if (rc != win32_error::kSuccess) return rc;
  const auto length = static_cast<std::uint32_t>(value.data.size());
  if (value.name.size() + 1 > *nameSize) return win32_error::kMoreData;
  if (data && length > *dataSize) {
    *dataSize = length;
    return win32_error::kMoreData;
  }
  std::memcpy(name, value.name.c_str(), value.name.size() + 1);
  *nameSize = static_cast<std::uint32_t>(value.name.size());
  if (type) *type = value.type;
  if (data && length) std::memcpy(data, value.data.data(), length);
  if (dataSize) *dataSize = length;
  return win32_error::kSuccess;
}

long EmulatedRegistry::DeleteKey(RegKey key, const std::string& subKey) {
  std::vector<std::string> parts;
  long rc = SplitPath(subKey, parts);
  if (rc != win32_error::kSuccess) return rc;
  return Transact(storage_, [&] {
    Handle h{};
    long r = Resolve(key, h);
    if (r != win32_error::kSuccess) return r;
    KeyId target = 0;
    bool created = false;
    r = Walk(h.key, parts, false, target, created);
    if (r != win32_error::kSuccess) return r;
    if (target <= RegistryStorage::kHiveCount) return win32_error::kAccessDenied;
    bool hasChildren = false;
    r = storage_.HasChildren(target, hasChildren);
    if (r != win32_error::kSuccess) return r;
    if (hasChildren) return win32_error::kAccessDenied;
    return storage_.RemoveKey(target);
  });
}

long EmulatedRegistry::DeleteValue(RegKey key, const std::string& name) {
  return Transact(storage_, [&] {
    Handle h{};
    long rc = Resolve(key, h);
    if (rc != win32_error::kSuccess) return rc;
    if (!(h.access & kSetValue)) return win32_error::kAccessDenied;
    return storage_.RemoveValue(h.key, Fold(name));
  });
}

long EmulatedRegistry::CloseKey(RegKey key) {
  if (IsRoot(key)) return win32_error::kSuccess;
  return handles_.erase(key) ? win32_error::kSuccess : win32_error::kInvalidHandle;
}
