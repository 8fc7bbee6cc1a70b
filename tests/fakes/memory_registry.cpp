#include "fakes/memory_registry.h"

#include <iterator>
#include <stdexcept>

#include "platform/hive_names.h"

MemoryStorage::MemoryStorage() {
  for (KeyId hive = 1; hive <= kHiveCount; ++hive) state_.keys[hive] = Key{};
}

long MemoryStorage::BeginWrite() {
  if (failWith) return failWith;
  before_ = state_;
  return 0;
}

long MemoryStorage::Commit() {
  if (failWith) return failWith;
  before_.reset();
  return 0;
}

void MemoryStorage::Rollback() {
  if (before_) state_ = std::move(*before_);
  before_.reset();
}

long MemoryStorage::KeyExists(KeyId key) {
  if (failWith) return failWith;
  return state_.keys.count(key) ? 0 : 2;
}

long MemoryStorage::FindChild(KeyId parent, const std::string& folded, KeyId& child) {
  if (failWith) return failWith;
  auto& children = state_.keys.at(parent).children;
  auto it = children.find(folded);
  if (it == children.end()) return 2;
  child = it->second;
  return 0;
}

long MemoryStorage::AddChild(KeyId parent, const std::string& name, const std::string& folded,
                             KeyId& child) {
  if (failWith) return failWith;
  child = state_.next++;
  state_.keys[child] = Key{parent, name, {}, {}};
  state_.keys.at(parent).children[folded] = child;
  return 0;
}

long MemoryStorage::ChildAt(KeyId parent, std::uint32_t index, std::string& name) {
  if (failWith) return failWith;
  const auto& children = state_.keys.at(parent).children;
  if (index >= children.size()) return 259;
  name = state_.keys.at(std::next(children.begin(), index)->second).name;
  return 0;
}

long MemoryStorage::HasChildren(KeyId key, bool& any) {
  if (failWith) return failWith;
  any = !state_.keys.at(key).children.empty();
  return 0;
}

long MemoryStorage::RemoveKey(KeyId key) {
  if (failWith) return failWith;
  auto it = state_.keys.find(key);
  if (it == state_.keys.end() || key <= kHiveCount) return 2;
  state_.keys.at(it->second.parent).children.erase(EmulatedRegistry::Fold(it->second.name));
  state_.keys.erase(it);
  return 0;
}

long MemoryStorage::GetValue(KeyId key, const std::string& folded, StoredValue& value) {
  if (failWith) return failWith;
  const auto& values = state_.keys.at(key).values;
  auto it = values.find(folded);
  if (it == values.end()) return 2;
  value = it->second;
  return 0;
}

long MemoryStorage::PutValue(KeyId key, const std::string& folded, const StoredValue& value) {
  if (failWith) return failWith;
  auto& values = state_.keys.at(key).values;
  auto it = values.find(folded);
  if (it == values.end()) {
    values[folded] = value;
  } else {
    it->second.type = value.type;
    it->second.data = value.data;
  }
  return 0;
}

long MemoryStorage::RemoveValue(KeyId key, const std::string& folded) {
  if (failWith) return failWith;
  return state_.keys.at(key).values.erase(folded) ? 0 : 2;
}

long MemoryStorage::ValueAt(KeyId key, std::uint32_t index, StoredValue& value) {
  if (failWith) return failWith;
  const auto& values = state_.keys.at(key).values;
  if (index >= values.size()) return 259;
  value = std::next(values.begin(), index)->second;
  return 0;
}

namespace {
[[noreturn]] void Refused(const std::string& what, const std::string& path, long rc) {
  throw std::logic_error("MemoryRegistry: " + what + " " + path + " answered " +
                         std::to_string(rc));
}
}  // namespace

RegKey MemoryRegistry::SplitHive(const std::string& path, std::string& subKey) {
  const std::size_t slash = path.find('\\');
  subKey = slash == std::string::npos ? "" : path.substr(slash + 1);
  const HiveName* h = FindHiveName(path.substr(0, slash));
  return h ? h->root : 0;
}

RegKey MemoryRegistry::OpenPath(const std::string& path, bool create) {
  std::string subKey;
  const RegKey root = SplitHive(path, subKey);
  RegKey key = 0;
  const long rc =
      create ? CreateKey(root, subKey, key) : OpenKeyEx(root, subKey, reg::kKeyRead, key);
  if (rc == 2 && !create) return 0;
  if (rc != 0) Refused(create ? "creating" : "opening", path, rc);
  return key;
}

void MemoryRegistry::CreatePath(const std::string& path) {
  CloseKey(OpenPath(path, true));
}

void MemoryRegistry::CreateLink(const std::string& path, const std::string& target) {
  std::string subKey, name;
  RegKey key = 0;
  for (char c : target) name += std::string{c, '\0'};
  long rc = CreateKeyEx(SplitHive(path, subKey), subKey, "", reg::kOptionCreateLink,
                        reg::kKeyAllAccess, key, nullptr);
  if (rc == 0)
    rc = SetValueEx(key, reg::kLinkValueName, reg::kLink,
                    reinterpret_cast<const std::uint8_t*>(name.data()), name.size());
  CloseKey(key);
  if (rc != 0) Refused("creating a link at", path, rc);
}

void MemoryRegistry::SetRaw(const std::string& path, const std::string& name, std::uint32_t type,
                            const std::string& bytes) {
  const RegKey key = OpenPath(path, true);
  const long rc = SetValueEx(key, name, type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                             static_cast<std::uint32_t>(bytes.size()));
  CloseKey(key);
  if (rc != 0) Refused("setting a value in", path, rc);
}

void MemoryRegistry::SetString(const std::string& path, const std::string& name,
                               const std::string& text, std::uint32_t type) {
  SetRaw(path, name, type, text + std::string(1, '\0'));
}

void MemoryRegistry::SetDword(const std::string& path, const std::string& name,
                              std::uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  SetRaw(path, name, reg::kDword, bytes);
}

bool MemoryRegistry::HasKey(const std::string& path) {
  const RegKey key = OpenPath(path, false);
  if (key) CloseKey(key);
  return key != 0;
}

std::optional<StoredValue> MemoryRegistry::Value(const std::string& path, const std::string& name) {
  const RegKey key = OpenPath(path, false);
  if (!key) return std::nullopt;
  StoredValue value;
  value.name = name;
  std::uint32_t size = 0;
  long rc = QueryValueEx(key, name, &value.type, nullptr, &size);
  if (rc == 0) {
    value.data.assign(size, '\0');
    rc = QueryValueEx(key, name, &value.type, reinterpret_cast<std::uint8_t*>(value.data.data()),
                      &size);
  }
  CloseKey(key);
  if (rc == 2) return std::nullopt;
  if (rc != 0) Refused("reading a value of", path, rc);
  return value;
}

std::vector<std::string> MemoryRegistry::SubkeyNames(const std::string& path) {
  std::vector<std::string> names;
  const RegKey key = OpenPath(path, false);
  if (!key) return names;
  char name[256];
  std::uint32_t size = sizeof name;
  for (std::uint32_t i = 0; EnumKeyEx(key, i, name, &size) == 0; ++i, size = sizeof name)
    names.emplace_back(name, size);
  CloseKey(key);
  return names;
}

std::vector<std::string> MemoryRegistry::ValueNames(const std::string& path) {
  std::vector<std::string> names;
  const RegKey key = OpenPath(path, false);
  if (!key) return names;
  char name[16384];
  std::uint32_t size = sizeof name;
  for (std::uint32_t i = 0; EnumValue(key, i, name, &size, nullptr, nullptr, nullptr) == 0;
       ++i, size = sizeof name)
    names.emplace_back(name, size);
  CloseKey(key);
  return names;
}
