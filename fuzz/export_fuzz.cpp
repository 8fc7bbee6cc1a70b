// ExportToReg of random trees in the SQLite store: it must succeed, and the file must hold,
// line for line, the blocks that the tree written here calls for (key lines, "@=" lines,
// string, hex and dword lines in their groups, depth first), with the caller's sink told
// each key's path in the same order.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fakes/fake_platform.h"
#include "fakes/test_context.h"
#include "platform/posix/registry_store.h"
#include "registry/registry_access.h"
#include "run/run_context.h"
#include "support/byte_reader.h"
#include "support/check.h"

namespace {
// Key names avoid "\" and the letter K, so that no hive token or long name can form in a
// path; names never start or end with a space (the listing trims them).
const std::string kKeyAlphabet = "abcxyzABCXYZ019_.-\"=[]@";
const std::string kNameAlphabet = "abcxyzABC019_-\"=[]@\\ ";
const std::string kTextAlphabet = std::string("abcXYZ09 \"\\=[]@%,:;\t", 20) + '\0';

struct Value {
  std::string name;
  std::uint32_t type;
  std::string data;
};

struct Key {
  std::string name;
  std::map<std::string, Value> values;  // by lower-case name: the listing order
  std::map<std::string, Key> children;  // likewise
};

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return s;
}

std::string BeforeNul(const std::string& s) {
  return s.substr(0, s.find('\0'));
}

std::string HexLine(const std::string& data) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char b : data) {
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
    out += ',';
  }
  if (!out.empty()) out.pop_back();
  return out;
}

// Between quotes with \ and " escaped; a text holding a control character as hex(1) of its
// bytes and closing NUL, so that nothing in it can break a line.
std::string Quoted(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + '"';
}

std::string StringData(const std::string& s) {
  for (unsigned char c : s)
    if (c < 0x20) return "hex(1):" + HexLine(s + std::string(1, '\0'));
  return Quoted(s);
}

std::string DwordLine(const std::string& data) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i)
    v = v << 8 | static_cast<unsigned char>(data[static_cast<std::size_t>(i)]);
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%08X", v);
  return buffer;
}

class TreeWriter {
 public:
  TreeWriter(Registry& r, ByteReader& in) : r_(r), in_(in) {}

  // Up to depth levels of keys below key, each with a few values, written to the store
  // and to the tree.
  void Grow(RegKey handle, Key& key, int depth) {
    const std::uint32_t values = in_.Below(5);
    for (std::uint32_t i = 0; i < values; ++i) AddValue(handle, key);
    if (depth == 0) return;
    const std::uint32_t children = in_.Below(4);
    for (std::uint32_t i = 0; i < children; ++i) {
      const std::string name = in_.From(kKeyAlphabet, 4, 1);
      RegKey child = 0;
      FUZZ_CHECK(r_.CreateKey(handle, name, child) == win32_error::kSuccess);
      auto [it, added] = key.children.try_emplace(Lower(name), Key{name, {}, {}});
      Grow(child, it->second, depth - 1);
      FUZZ_CHECK(r_.CloseKey(child) == win32_error::kSuccess);
    }
  }

 private:
  void AddValue(RegKey handle, Key& key) {
    std::string name;
    if (in_.Below(4) != 0) {
      name = in_.From(kNameAlphabet, 5, 1);
      if (name.front() == ' ' || name.back() == ' ') name = "v" + name + "v";
    }
    static const std::uint32_t kTypes[] = {reg::kSz,    reg::kSz,       reg::kBinary,
                                           reg::kDword, reg::kExpandSz, reg::kMultiSz};
    const std::uint32_t type = kTypes[in_.Below(6)];
    std::string data;
    if (type == reg::kBinary) {
      data = in_.Bytes(6);
    } else if (type == reg::kDword) {
      for (int i = 0; i < 4; ++i) data += static_cast<char>(in_.Byte());
    } else {
      // Now and then a text longer than the reads' 255-byte buffers.
      data = in_.From(kTextAlphabet, in_.Below(8) == 0 ? 300 : 12) + '\0';
    }
    FUZZ_CHECK(r_.SetValueEx(handle, name, type, reinterpret_cast<const std::uint8_t*>(data.data()),
                             static_cast<std::uint32_t>(data.size())) == win32_error::kSuccess);
    auto it = key.values.find(Lower(name));
    if (it == key.values.end())
      key.values[Lower(name)] = Value{name, type, data};
    else
      it->second.type = type, it->second.data = data;
  }

  Registry& r_;
  ByteReader& in_;
};

// The block of one key and, when asked, of its subtree, as the export must write them.
void Expect(const Key& key, const std::string& path, bool subkeys, std::string& file,
            std::vector<std::string>& paths) {
  paths.push_back(path);
  file += "[" + path + "]\r\n";
  std::string defaultText;
  auto d = key.values.find("");
  // A default text longer than the reads' buffer still comes whole when it is a REG_SZ.
  if (d != key.values.end() && (d->second.data.size() <= 255 || d->second.type == reg::kSz))
    defaultText = BeforeNul(d->second.data);
  file += "@=" + StringData(defaultText) + "\r\n";
  for (const auto& [order, v] : key.values)
    if (v.type == reg::kSz && !v.name.empty())
      file += Quoted(v.name) + "=" + StringData(BeforeNul(v.data)) + "\r\n";
  for (const auto& [order, v] : key.values)
    if (v.type == reg::kBinary) file += Quoted(v.name) + "=hex:" + HexLine(v.data) + "\r\n";
  for (const auto& [order, v] : key.values)
    if (v.type == reg::kDword) file += Quoted(v.name) + "=dword:" + DwordLine(v.data) + "\r\n";
  file += "\r\n";
  if (!subkeys) return;
  for (const auto& [order, child] : key.children)
    Expect(child, path + "\\" + child.name, subkeys, file, paths);
}

class Paths : public ExportOutput {
 public:
  void SetText(const std::string& path) override { seen.push_back(path); }
  std::vector<std::string> seen;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ByteReader in(data, size);
  std::unique_ptr<Registry> store = posix::OpenRegistryStore(":memory:");
  FakePlatform fake;
  TestContext ctx(Platform{*store, fake.system, fake.environment, fake.clock, fake.files, fake.wmi,
                           fake.net, fake.process, fake.window});

  const bool subkeys = in.Below(2);
  static const char* kSpellings[] = {"HKCU\\Software\\Fz", "hkcu\\Software\\Fz",
                                     "HKEY_CURRENT_USER\\Software\\Fz"};
  const std::string asked = kSpellings[in.Below(3)];
  Key root{"Fz", {}, {}};
  RegKey handle = 0;
  FUZZ_CHECK(store->CreateKey(reg::kCurrentUser, "Software\\Fz", handle) == win32_error::kSuccess);
  TreeWriter(*store, in).Grow(handle, root, 3);
  FUZZ_CHECK(store->CloseKey(handle) == win32_error::kSuccess);

  Paths sink;
  FUZZ_CHECK(ctx.RegistryAccess().ExportToReg(asked, "out.reg", subkeys, &sink) == 1);
  std::string expected = "REGEDIT4\r\n\r\n";
  std::vector<std::string> paths;
  Expect(root, "HKEY_CURRENT_USER\\Software\\Fz", subkeys, expected, paths);
  FUZZ_CHECK(fake.files.Content("out.reg") == expected);
  FUZZ_CHECK(sink.seen == paths);
  // A second export to the same file is refused and changes nothing.
  FUZZ_CHECK(ctx.RegistryAccess().ExportToReg(asked, "out.reg", subkeys) == 0);
  FUZZ_CHECK(fake.files.Content("out.reg") == expected);
  return 0;
}
