#include "platform/registry_emulation.h"

#include <cctype>
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

constexpr std::size_t kMaxPathLength = 260;     // longer subkey strings: 234
constexpr std::size_t kMaxKeyNameLength = 256;  // longer key names: 87
constexpr std::size_t kMaxValueNameLength = 16383;

bool IsRoot(RegKey handle) {
  return handle >= reg::kClassesRoot && handle <= reg::kDynData;
}

bool IsStringType(std::uint32_t type) {
  return type == reg::kSz || type == reg::kExpandSz || type == reg::kMultiSz;
}

// Unicode code points of the bytes 0x80 to 0x9F in the ANSI code page (Windows-1252);
// the five bytes it leaves undefined keep their own value.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t LowerCodePoint(unsigned char byte) {
  const char16_t c = byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte;
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  switch (c) {
    case 0x0160:
      return 0x0161;
    case 0x0152:
      return 0x0153;
    case 0x017D:
      return 0x017E;
    case 0x0178:
      return 0x00FF;
    default:
      return c;
  }
}

// Both view bits at once: Windows 7 and later refuse the call with 87, although Wine takes
// it for the 64-bit view alone. Either bit alone is ignored, as a 32-bit Windows ignores it.
bool BothViews(std::uint32_t mask) {
  constexpr std::uint32_t both = reg::kView64Bit | reg::kView32Bit;
  return (mask & both) == both;
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

// A key path's parts. A leading backslash is a bad path name (161); empty parts are
// skipped. As under Wine, a path longer than 260 characters answers 234 and a key name
// longer than 256 answers 87.
long SplitPath(const std::string& path, std::vector<std::string>& parts) {
  parts.clear();
  if (path.empty()) return win32_error::kSuccess;
  if (path.size() > kMaxPathLength) return win32_error::kMoreData;
  if (path[0] == '\\') return win32_error::kBadPathname;
  std::size_t start = 0;
  while (start < path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end - start > kMaxKeyNameLength) return win32_error::kInvalidParameter;
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return win32_error::kSuccess;
}

// Links followed one after the other before the path counts as unresolvable, as on Windows.
constexpr int kMaxLinkDepth = 16;
constexpr long kCannotResolve = 1921;  // ERROR_CANT_RESOLVE_FILENAME
constexpr long kAlreadyExists = 183;

// The ASCII text of UTF-16LE bytes; false when a character is not ASCII.
bool AsciiFromUtf16(const std::string& bytes, std::string& text) {
  text.clear();
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    if (bytes[i + 1] != 0 || static_cast<unsigned char>(bytes[i]) >= 0x80) return false;
    text += bytes[i];
  }
  return bytes.size() % 2 == 0;
}

bool SameAscii(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
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
  // Two bytes per character, high byte first, so that byte order is code point order.
  std::string folded;
  folded.reserve(name.size() * 2);
  for (unsigned char byte : name) {
    const char16_t c = LowerCodePoint(byte);
    folded.push_back(static_cast<char>(c >> 8));
    folded.push_back(static_cast<char>(c & 0xFF));
  }
  return folded;
}

void EmulatedRegistry::TerminateString(const StoredValue& value, std::uint8_t* data,
                                       std::uint32_t capacity) {
  // A text read into a buffer with room to spare gets a NUL after it, unless it ends in one.
  const std::size_t length = value.data.size();
  if (IsStringType(value.type) && length && length < capacity && value.data.back() != '\0')
    data[length] = 0;
}

long EmulatedRegistry::Resolve(RegKey handle, Handle& out) {
  // The performance-data root holds no keys or values of its own.
  if (handle == reg::kPerformanceData) return win32_error::kInvalidHandle;
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

bool EmulatedRegistry::IsLink(KeyId key) {
  StoredValue marker;
  return storage_.GetValue(key, Fold(reg::kLinkValueName), marker) == win32_error::kSuccess &&
         marker.type == reg::kLink;
}

long EmulatedRegistry::FollowLink(KeyId& key, int depth) {
  StoredValue target;
  long rc = storage_.GetValue(key, Fold(reg::kLinkValueName), target);
  if (rc != win32_error::kSuccess) return rc;
  if (target.type != reg::kLink) return win32_error::kFileNotFound;
  if (depth >= kMaxLinkDepth) return kCannotResolve;
  // "\Registry\Machine\..." or "\Registry\User\...": the only hives a link can name here.
  std::string path;
  std::vector<std::string> parts;
  if (!AsciiFromUtf16(target.data, path) || path.empty() || path[0] != '\\')
    return win32_error::kFileNotFound;
  rc = SplitPath(path.substr(1), parts);
  if (rc != win32_error::kSuccess || parts.size() < 2 || !SameAscii(parts[0], "Registry"))
    return win32_error::kFileNotFound;
  KeyId hive = 0;
  if (SameAscii(parts[1], "Machine"))
    hive = reg::kLocalMachine - reg::kClassesRoot + 1;
  else if (SameAscii(parts[1], "User"))
    hive = reg::kUsers - reg::kClassesRoot + 1;
  else
    return win32_error::kFileNotFound;
  parts.erase(parts.begin(), parts.begin() + 2);
  bool created = false;
  return Walk(hive, parts, false, key, created, false, depth + 1);
}

long EmulatedRegistry::Walk(KeyId from, const std::vector<std::string>& parts, bool create,
                            KeyId& key, bool& created, bool openLink, int depth) {
  created = false;
  key = from;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    KeyId child = 0;
    const std::string folded = Fold(parts[i]);
    long rc = storage_.FindChild(key, folded, child);
    if (rc == win32_error::kFileNotFound && create) {
      rc = storage_.AddChild(key, parts[i], folded, child);
      created = true;
    } else if (rc == win32_error::kSuccess && !(openLink && i + 1 == parts.size()) &&
               IsLink(child)) {
      rc = FollowLink(child, depth);
    }
    if (rc != win32_error::kSuccess) return rc;
    key = child;
  }
  return win32_error::kSuccess;
}

long EmulatedRegistry::Open(RegKey root, const std::string& subKey, std::uint32_t access,
                            std::uint32_t options, RegKey& result) {
  result = 0;
  Handle parent{};
  long rc = Resolve(root, parent);
  if (rc != win32_error::kSuccess) return rc;
  std::vector<std::string> parts;
  rc = SplitPath(subKey, parts);
  if (rc != win32_error::kSuccess) return rc;
  KeyId key = 0;
  bool created = false;
  rc = Walk(parent.key, parts, false, key, created, (options & reg::kOptionOpenLink) != 0);
  // Opening a root itself reads nothing else, but a store that cannot be read still fails.
  if (rc == win32_error::kSuccess && parts.empty()) rc = storage_.KeyExists(key);
  if (rc != win32_error::kSuccess) return rc;
  result = NewHandle(key, access);
  return win32_error::kSuccess;
}

long EmulatedRegistry::Create(RegKey root, const std::string& subKey, std::uint32_t access,
                              std::uint32_t options, RegKey& result, std::uint32_t* disposition) {
  result = 0;
  Handle parent{};
  long rc = Resolve(root, parent);
  if (rc != win32_error::kSuccess) return rc;
  std::vector<std::string> parts;
  rc = SplitPath(subKey, parts);
  if (rc != win32_error::kSuccess) return rc;
  KeyId key = 0;
  bool created = false;
  // An existing key is only read, so opening one never writes (nor creates the store). A
  // link key is made new, its target marker empty until the caller sets it.
  const bool makeLink = (options & reg::kOptionCreateLink) != 0;
  rc = Walk(parent.key, parts, false, key, created, makeLink);
  if (rc == win32_error::kSuccess && parts.empty()) rc = storage_.KeyExists(key);
  if (rc == win32_error::kSuccess && makeLink) return kAlreadyExists;
  if (rc == win32_error::kFileNotFound && !parts.empty()) {
    rc = Transact(storage_, [&] {
      Handle again{};
      long r = Resolve(root, again);
      if (r == win32_error::kSuccess) r = Walk(again.key, parts, true, key, created, makeLink);
      if (r != win32_error::kSuccess || !makeLink) return r;
      return storage_.PutValue(key, Fold(reg::kLinkValueName),
                               StoredValue{reg::kLinkValueName, reg::kLink, ""});
    });
  }
  if (rc != win32_error::kSuccess) return rc;
  // Wine reports a new key for an empty subkey, although it only opens the key again.
  if (disposition) *disposition = created || subKey.empty() ? 1 : 2;
  result = NewHandle(key, access);
  return win32_error::kSuccess;
}

long EmulatedRegistry::OpenKey(RegKey root, const std::string& subKey, RegKey& result) {
  // Like RegOpenKeyA: no subkey gives back the very handle passed in.
  if (subKey.empty()) {
    result = root;
    return win32_error::kSuccess;
  }
  return Open(root, subKey, kAllRights, 0, result);
}

long EmulatedRegistry::OpenKeyEx(RegKey root, const std::string& subKey, std::uint32_t mask,
                                 RegKey& result) {
  if (BothViews(mask)) {
    result = 0;
    return win32_error::kInvalidParameter;
  }
  if (root == reg::kPerformanceData && subKey.empty()) {
    result = root;
    return win32_error::kSuccess;
  }
  return Open(root, subKey, Rights(mask), 0, result);
}

long EmulatedRegistry::OpenKeyExOptions(RegKey root, const std::string& subKey,
                                        std::uint32_t options, std::uint32_t mask, RegKey& result) {
  if (BothViews(mask)) {
    result = 0;
    return win32_error::kInvalidParameter;
  }
  return Open(root, subKey, Rights(mask), options, result);
}

long EmulatedRegistry::CreateKey(RegKey root, const std::string& subKey, RegKey& result) {
  return Create(root, subKey, kAllRights, 0, result, nullptr);
}

long EmulatedRegistry::CreateKeyEx(RegKey root, const std::string& subKey, const std::string&,
                                   std::uint32_t options, std::uint32_t mask, RegKey& result,
                                   std::uint32_t* disposition) {
  if (BothViews(mask)) {
    result = 0;
    return win32_error::kInvalidParameter;
  }
  return Create(root, subKey, Rights(mask), options, result, disposition);
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
    // Raw value bytes; TerminateString adds the NUL that text types get.
    if (length)
      std::memcpy(data, value.data.data(), length);  // NOLINT(bugprone-not-null-terminated-result)
    TerminateString(value, data, *size);
  }
  if (size) *size = length;
  return win32_error::kSuccess;
}

long EmulatedRegistry::SetValueEx(RegKey key, const std::string& name, std::uint32_t type,
                                  const std::uint8_t* data, std::uint32_t size) {
  if (!data && size) return win32_error::kNoAccess;
  if (name.size() > kMaxValueNameLength) return win32_error::kInvalidParameter;
  StoredValue value{name, type, std::string(reinterpret_cast<const char*>(data), data ? size : 0)};
  // Checked before the write begins too, so that a refused call writes nothing.
  Handle h{};
  long rc = Resolve(key, h);
  if (rc != win32_error::kSuccess) return rc;
  if (!(h.access & kSetValue)) return win32_error::kAccessDenied;
  return Transact(storage_, [&] {
    Handle h{};
    long rc = Resolve(key, h);
    if (rc != win32_error::kSuccess) return rc;
    if (!(h.access & kSetValue)) return win32_error::kAccessDenied;
    // The link marker is a link key's own: no other key becomes a link, and a link's
    // target stays a REG_LINK value.
    const bool marker = Fold(name) == Fold(reg::kLinkValueName);
    if (marker && (type == reg::kLink) != IsLink(h.key)) return win32_error::kAccessDenied;
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
  // As Wine does: a short data buffer answers first and copies nothing; with the data in
  // place, a short name buffer gets as much of the name as fits, still answering 234.
  const auto length = static_cast<std::uint32_t>(value.data.size());
  if (type) *type = value.type;
  if (data && length > *dataSize) {
    *dataSize = length;
    return win32_error::kMoreData;
  }
  if (data) {
    // Raw value bytes; TerminateString adds the NUL that text types get.
    if (length)
      std::memcpy(data, value.data.data(), length);  // NOLINT(bugprone-not-null-terminated-result)
    TerminateString(value, data, *dataSize);
  }
  if (dataSize) *dataSize = length;
  if (value.name.size() + 1 > *nameSize) {
    if (*nameSize) {
      std::memcpy(name, value.name.data(), *nameSize - 1);
      name[*nameSize - 1] = '\0';
    }
    return win32_error::kMoreData;
  }
  std::memcpy(name, value.name.c_str(), value.name.size() + 1);
  *nameSize = static_cast<std::uint32_t>(value.name.size());
  return win32_error::kSuccess;
}

long EmulatedRegistry::DeleteKey(RegKey key, const std::string& subKey) {
  std::vector<std::string> parts;
  long rc = SplitPath(subKey, parts);
  if (rc != win32_error::kSuccess) return rc;
  // Looked up before the write begins too, so that a refused call writes nothing.
  Handle found{};
  rc = Resolve(key, found);
  KeyId doomed = 0;
  bool made = false;
  if (rc == win32_error::kSuccess) rc = Walk(found.key, parts, false, doomed, made);
  if (rc != win32_error::kSuccess) return rc;
  if (doomed <= RegistryStorage::kHiveCount) return win32_error::kAccessDenied;
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
  // Looked up before the write begins too, so that a refused call writes nothing.
  Handle h{};
  long rc = Resolve(key, h);
  if (rc != win32_error::kSuccess) return rc;
  if (!(h.access & kSetValue)) return win32_error::kAccessDenied;
  StoredValue existing;
  rc = storage_.GetValue(h.key, Fold(name), existing);
  if (rc != win32_error::kSuccess) return rc;
  return Transact(storage_, [&] {
    Handle h{};
    long rc = Resolve(key, h);
    if (rc != win32_error::kSuccess) return rc;
    if (!(h.access & kSetValue)) return win32_error::kAccessDenied;
    if (Fold(name) == Fold(reg::kLinkValueName) && IsLink(h.key)) return win32_error::kAccessDenied;
    return storage_.RemoveValue(h.key, Fold(name));
  });
}

long EmulatedRegistry::CloseKey(RegKey key) {
  // Wine takes every number from 0x80000000 up for a predefined key, which needs no closing.
  if (key >= reg::kClassesRoot) return win32_error::kSuccess;
  return handles_.erase(key) ? win32_error::kSuccess : win32_error::kInvalidHandle;
}
