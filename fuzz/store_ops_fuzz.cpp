// The SQLite store behind the registry calls, under random sequences of operations, checked
// call by call against a small model of keys and values written here: the same codes, the
// same names, types and data. At the end the store is listed whole, and a store on a file is
// opened a second time to show that what was committed is what a new process reads.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/posix/registry_store.h"
#include "platform/registry.h"
#include "support/byte_reader.h"
#include "support/check.h"

namespace {
namespace err = win32_error;

// Names come from a few letters whose case pairs collide: ASCII, Windows-1252 0x8A/0x9A
// (S and s with caron, U+0160/U+0161) and 0xC0/0xE0 (A and a with grave), and two that
// have no case (0xD7 multiplication sign, 0xF7 division sign).
const std::string kAlphabet = "aAbB\x8a\x9a\xc0\xe0\xd7\xf7";

char16_t LowerCodePoint(unsigned char c) {
  switch (c) {
    case 'A':
      return u'a';
    case 'B':
      return u'b';
    case 0x8A:
    case 0x9A:
      return 0x0161;
    case 0xC0:
      return 0x00E0;
    default:
      return c;
  }
}

// Where a name sorts and what it collides with: its lower-case code points, high byte first.
std::string OrderKey(const std::string& name) {
  std::string k;
  for (unsigned char c : name) {
    const char16_t p = LowerCodePoint(c);
    k += static_cast<char>(p >> 8);
    k += static_cast<char>(p & 0xFF);
  }
  return k;
}

struct ModelValue {
  std::string name;
  std::uint32_t type;
  std::string data;
};

struct ModelKey {
  std::string name;
  bool alive = true;
  std::map<std::string, int> children;  // by order key
  std::map<std::string, ModelValue> values;
};

bool IsString(std::uint32_t type) {
  return type == reg::kSz || type == reg::kExpandSz || type == reg::kMultiSz;
}

class Model {
 public:
  Model() {
    keys_.push_back(Named("HKCU"));
    keys_.push_back(Named("HKLM"));
  }
  static constexpr int kHives = 2;

  ModelKey& operator[](int id) { return keys_[static_cast<std::size_t>(id)]; }

  // The key path's parts: 161 for a leading backslash, empty parts skipped.
  static ModelKey Named(const std::string& name) {
    ModelKey k;
    k.name = name;
    return k;
  }

  static long Split(const std::string& path, std::vector<std::string>& parts) {
    parts.clear();
    if (!path.empty() && path[0] == '\\') return err::kBadPathname;
    std::string part;
    for (char c : path + '\\') {
      if (c != '\\') {
        part += c;
      } else if (!part.empty()) {
        parts.push_back(part);
        part.clear();
      }
    }
    return err::kSuccess;
  }

  long Walk(int from, const std::vector<std::string>& parts, bool create, int& key, bool& made) {
    key = from;
    made = false;
    for (const std::string& part : parts) {
      const std::string k = OrderKey(part);
      auto it = keys_[static_cast<std::size_t>(key)].children.find(k);
      if (it != keys_[static_cast<std::size_t>(key)].children.end()) {
        key = it->second;
        continue;
      }
      if (!create) return err::kFileNotFound;
      const int child = static_cast<int>(keys_.size());
      keys_.push_back(Named(part));
      keys_[static_cast<std::size_t>(key)].children[k] = child;
      key = child;
      made = true;
    }
    return err::kSuccess;
  }

  void Remove(int id) {
    ModelKey& k = keys_[static_cast<std::size_t>(id)];
    k.alive = false;
    for (ModelKey& parent : keys_) {
      for (auto it = parent.children.begin(); it != parent.children.end(); ++it) {
        if (it->second == id) {
          parent.children.erase(it);
          return;
        }
      }
    }
  }

 private:
  std::vector<ModelKey> keys_;
};

struct OpenHandle {
  RegKey handle;
  int key;
  bool writable;
};

class Session {
 public:
  Session(Registry& r, ByteReader& in) : r_(r), in_(in) {}

  void Run() {
    for (int step = 0; step < 64 && !in_.Empty(); ++step) Step();
  }

  void CheckWhole(Registry& r) {
    CheckKey(r, reg::kCurrentUser, 0);
    CheckKey(r, reg::kLocalMachine, 1);
  }

  void CloseAll() {
    for (const OpenHandle& h : open_) FUZZ_CHECK(r_.CloseKey(h.handle) == err::kSuccess);
    open_.clear();
  }

 private:
  std::string Name(std::size_t maxLength) { return in_.From(kAlphabet, maxLength); }

  std::string Path() {
    std::string path;
    const std::uint32_t parts = in_.Below(4);
    for (std::uint32_t i = 0; i < parts; ++i) {
      if (i) path += '\\';
      path += in_.From(kAlphabet, 2, 1);
    }
    switch (in_.Below(16)) {
      case 0:
        return "\\" + path;
      case 1:
        return path + "\\";
      case 2:
        return path + "\\\\" + in_.From(kAlphabet, 2, 1);
      default:
        return path;
    }
  }

  // A root or an open handle, with its model key; the model answers 1018 for a deleted key.
  OpenHandle Base() {
    const std::uint32_t pick = in_.Below(static_cast<std::uint32_t>(open_.size() + 2));
    if (pick == 0) return {reg::kCurrentUser, 0, true};
    if (pick == 1) return {reg::kLocalMachine, 1, true};
    return open_[pick - 2];
  }

  long Resolve(const OpenHandle& h) { return m_[h.key].alive ? err::kSuccess : err::kKeyDeleted; }

  void Step() {
    switch (in_.Below(11)) {
      case 0:
      case 1:
        return Create();
      case 2:
        return Open();
      case 3:
      case 4:
        return SetValue();
      case 5:
        return QueryValue();
      case 6:
        return DeleteValue();
      case 7:
        return DeleteKey();
      case 8:
        return EnumKey();
      case 9:
        return EnumValue();
      default:
        return Close();
    }
  }

  void Create() {
    const OpenHandle base = Base();
    const std::string path = Path();
    RegKey handle = 0;
    std::uint32_t disposition = 0;
    const long rc =
        r_.CreateKeyEx(base.handle, path, "", 0, reg::kKeyAllAccess, handle, &disposition);
    long expected = Resolve(base);
    std::vector<std::string> parts;
    if (expected == err::kSuccess) expected = Model::Split(path, parts);
    int key = 0;
    bool made = false;
    if (expected == err::kSuccess) expected = m_.Walk(base.key, parts, true, key, made);
    FUZZ_CHECK(rc == expected);
    if (rc != err::kSuccess) {
      FUZZ_CHECK(handle == 0);
      return;
    }
    FUZZ_CHECK(handle != 0 && handle < reg::kClassesRoot);
    FUZZ_CHECK(disposition == (made || path.empty() ? 1u : 2u));
    open_.push_back({handle, key, true});
  }

  void Open() {
    const OpenHandle base = Base();
    const std::string path = Path();
    const bool writable = in_.Below(2);
    RegKey handle = 0;
    const long rc =
        r_.OpenKeyEx(base.handle, path, writable ? reg::kKeyAllAccess : reg::kKeyRead, handle);
    long expected = Resolve(base);
    std::vector<std::string> parts;
    if (expected == err::kSuccess) expected = Model::Split(path, parts);
    int key = 0;
    bool made = false;
    if (expected == err::kSuccess) expected = m_.Walk(base.key, parts, false, key, made);
    FUZZ_CHECK(rc == expected);
    if (rc != err::kSuccess) {
      FUZZ_CHECK(handle == 0);
      return;
    }
    open_.push_back({handle, key, writable});
  }

  void SetValue() {
    const OpenHandle h = Base();
    const std::string name = Name(3);
    static const std::uint32_t kTypes[] = {reg::kSz,       reg::kBinary, reg::kDword, reg::kMultiSz,
                                           reg::kExpandSz, reg::kNone,   0x12345678};
    const std::uint32_t type = kTypes[in_.Below(7)];
    const std::string data = in_.Bytes(8);
    const long rc =
        r_.SetValueEx(h.handle, name, type, reinterpret_cast<const std::uint8_t*>(data.data()),
                      static_cast<std::uint32_t>(data.size()));
    long expected = Resolve(h);
    if (expected == err::kSuccess && !h.writable) expected = err::kAccessDenied;
    FUZZ_CHECK(rc == expected);
    if (rc != err::kSuccess) return;
    auto& values = m_[h.key].values;
    auto it = values.find(OrderKey(name));
    if (it == values.end())
      values[OrderKey(name)] = {name, type, data};
    else
      it->second.type = type, it->second.data = data;
  }

  const ModelValue* Find(int key, const std::string& name) {
    auto& values = m_[key].values;
    auto it = values.find(OrderKey(name));
    return it == values.end() ? nullptr : &it->second;
  }

  void QueryValue() {
    const OpenHandle h = Base();
    const std::string name = Name(3);
    const bool withData = in_.Below(4) != 0;
    const std::uint32_t capacity = in_.Below(11);
    std::string buffer(16, '\x7f');
    std::uint32_t type = 0xEEEE;
    std::uint32_t size = capacity;
    const long rc =
        r_.QueryValueEx(h.handle, name, &type,
                        withData ? reinterpret_cast<std::uint8_t*>(buffer.data()) : nullptr, &size);
    long expected = Resolve(h);
    const ModelValue* v = expected == err::kSuccess ? Find(h.key, name) : nullptr;
    if (expected == err::kSuccess && !v) expected = err::kFileNotFound;
    if (v && withData && v->data.size() > capacity) expected = err::kMoreData;
    FUZZ_CHECK(rc == expected);
    if (!v) return;
    FUZZ_CHECK(type == v->type);
    FUZZ_CHECK(size == v->data.size());
    if (rc != err::kSuccess || !withData) return;
    FUZZ_CHECK(buffer.compare(0, v->data.size(), v->data) == 0);
    // A text with room after it and no NUL of its own gets one.
    const bool terminated = IsString(v->type) && !v->data.empty() && v->data.size() < capacity &&
                            v->data.back() != '\0';
    FUZZ_CHECK(buffer[v->data.size()] == (terminated ? '\0' : '\x7f'));
  }

  void DeleteValue() {
    const OpenHandle h = Base();
    const std::string name = Name(3);
    const long rc = r_.DeleteValue(h.handle, name);
    long expected = Resolve(h);
    if (expected == err::kSuccess && !h.writable) expected = err::kAccessDenied;
    if (expected == err::kSuccess && !Find(h.key, name)) expected = err::kFileNotFound;
    FUZZ_CHECK(rc == expected);
    if (rc == err::kSuccess) m_[h.key].values.erase(OrderKey(name));
  }

  void DeleteKey() {
    const OpenHandle h = Base();
    const std::string path = in_.Below(3) == 0 ? "" : Path();
    const long rc = r_.DeleteKey(h.handle, path);
    std::vector<std::string> parts;
    long expected = Model::Split(path, parts);
    if (expected == err::kSuccess) expected = Resolve(h);
    int key = 0;
    bool made = false;
    if (expected == err::kSuccess) expected = m_.Walk(h.key, parts, false, key, made);
    if (expected == err::kSuccess && (key < Model::kHives || !m_[key].children.empty()))
      expected = err::kAccessDenied;
    FUZZ_CHECK(rc == expected);
    if (rc == err::kSuccess) m_.Remove(key);
  }

  void EnumKey() {
    const OpenHandle h = Base();
    const std::uint32_t index = in_.Below(5);
    const std::uint32_t capacity = in_.Below(5);
    char name[8];
    std::uint32_t size = capacity;
    const long rc = r_.EnumKeyEx(h.handle, index, name, &size);
    long expected = Resolve(h);
    const ModelKey* child = nullptr;
    if (expected == err::kSuccess) {
      const auto& children = m_[h.key].children;
      if (index >= children.size()) {
        expected = err::kNoMoreItems;
      } else {
        child = &m_[std::next(children.begin(), index)->second];
        if (child->name.size() + 1 > capacity) expected = err::kMoreData;
      }
    }
    FUZZ_CHECK(rc == expected);
    if (rc != err::kSuccess) return;
    FUZZ_CHECK(size == child->name.size() && std::string(name) == child->name);
  }

  void EnumValue() {
    const OpenHandle h = Base();
    const std::uint32_t index = in_.Below(5);
    const std::uint32_t nameCapacity = in_.Below(5);
    const bool withData = in_.Below(4) != 0;
    const std::uint32_t dataCapacity = in_.Below(10);
    char name[8];
    std::string data(16, '\x7f');
    std::uint32_t nameSize = nameCapacity;
    std::uint32_t dataSize = dataCapacity;
    std::uint32_t type = 0xEEEE;
    const long rc =
        r_.EnumValue(h.handle, index, name, &nameSize, &type,
                     withData ? reinterpret_cast<std::uint8_t*>(data.data()) : nullptr, &dataSize);
    long expected = Resolve(h);
    const ModelValue* v = nullptr;
    if (expected == err::kSuccess) {
      const auto& values = m_[h.key].values;
      if (index >= values.size()) {
        expected = err::kNoMoreItems;
      } else {
        v = &std::next(values.begin(), index)->second;
        const bool dataShort = withData && v->data.size() > dataCapacity;
        if (dataShort || v->name.size() + 1 > nameCapacity) expected = err::kMoreData;
      }
    }
    FUZZ_CHECK(rc == expected);
    if (!v) return;
    FUZZ_CHECK(type == v->type);
    FUZZ_CHECK(dataSize == v->data.size());
    if (withData && v->data.size() <= dataCapacity)
      FUZZ_CHECK(data.compare(0, v->data.size(), v->data) == 0);
    if (rc == err::kSuccess) FUZZ_CHECK(nameSize == v->name.size() && std::string(name) == v->name);
  }

  void Close() {
    if (!open_.empty() && in_.Below(4) != 0) {
      const std::size_t i = in_.Below(static_cast<std::uint32_t>(open_.size()));
      const RegKey handle = open_[i].handle;
      FUZZ_CHECK(r_.CloseKey(handle) == err::kSuccess);
      open_.erase(open_.begin() + static_cast<std::ptrdiff_t>(i));
      closed_.push_back(handle);
      return;
    }
    // A handle closed before, or one never opened, is no handle.
    bool stillOpen = false;
    const RegKey handle = closed_.empty() ? 0x7FFFFFF0u : closed_[in_.Below(closed_.size())];
    for (const OpenHandle& h : open_) stillOpen |= h.handle == handle;
    if (stillOpen) return;  // the number was handed out again
    std::uint32_t type = 0;
    FUZZ_CHECK(r_.QueryValueEx(handle, "", &type, nullptr, nullptr) == err::kInvalidHandle);
    FUZZ_CHECK(r_.CloseKey(handle) == err::kInvalidHandle);
  }

  // Lists a key of the store whole, as the model holds it, and its subtree.
  void CheckKey(Registry& r, RegKey handle, int id) {
    const ModelKey& k = m_[id];
    std::uint32_t i = 0;
    for (const auto& [order, child] : k.children) {
      char name[8];
      std::uint32_t size = sizeof name;
      FUZZ_CHECK(r.EnumKeyEx(handle, i++, name, &size) == err::kSuccess);
      FUZZ_CHECK(std::string(name) == m_[child].name);
      RegKey sub = 0;
      FUZZ_CHECK(r.OpenKeyEx(handle, name, reg::kKeyRead, sub) == err::kSuccess);
      CheckKey(r, sub, child);
      FUZZ_CHECK(r.CloseKey(sub) == err::kSuccess);
    }
    char name[8];
    std::uint32_t size = sizeof name;
    FUZZ_CHECK(r.EnumKeyEx(handle, i, name, &size) == err::kNoMoreItems);
    i = 0;
    for (const auto& [order, v] : k.values) {
      std::uint32_t nameSize = sizeof name;
      std::string data(16, '\0');
      std::uint32_t dataSize = static_cast<std::uint32_t>(data.size());
      std::uint32_t type = 0;
      FUZZ_CHECK(r.EnumValue(handle, i++, name, &nameSize, &type,
                             reinterpret_cast<std::uint8_t*>(data.data()),
                             &dataSize) == err::kSuccess);
      FUZZ_CHECK(std::string(name) == v.name && type == v.type &&
                 data.substr(0, dataSize) == v.data);
    }
    std::uint32_t nameSize = sizeof name;
    FUZZ_CHECK(r.EnumValue(handle, i, name, &nameSize, nullptr, nullptr, nullptr) ==
               err::kNoMoreItems);
  }

  Registry& r_;
  ByteReader& in_;
  Model m_;
  std::vector<OpenHandle> open_;
  std::vector<RegKey> closed_;
};

std::string ScratchStore() {
  static const std::string path = [] {
    char folder[] = "/tmp/qenv-store-fuzz.XXXXXX";
    FUZZ_CHECK(::mkdtemp(folder) != nullptr);
    return std::string(folder) + "/registry.db";
  }();
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) std::remove((path + suffix).c_str());
  return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ByteReader in(data, size);
  // Most inputs run on a store in memory, for speed; one in four on a file, which is then
  // opened again by a second registry.
  const bool onFile = in.Below(4) == 0;
  const std::string file = onFile ? ScratchStore() : ":memory:";
  std::unique_ptr<Registry> registry = posix::OpenRegistryStore(file);
  Session session(*registry, in);
  session.Run();
  session.CheckWhole(*registry);
  session.CloseAll();
  if (onFile) {
    registry.reset();
    std::unique_ptr<Registry> reopened = posix::OpenRegistryStore(file);
    session.CheckWhole(*reopened);
  }
  return 0;
}
