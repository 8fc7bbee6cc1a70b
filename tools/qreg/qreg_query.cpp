// query: a key's values (reg's layout: key line, then "    name    TYPE    data"), its
// subkeys, or the whole subtree.
#include "qreg.h"

#include <cstdio>
#include <iostream>

#include "registry/registry_access.h"
#include "registry/registry_key.h"
#include "run/run_context.h"
#include "run/windows_calls.h"

namespace qreg {
namespace {

constexpr std::uint32_t kDwordBigEndian = 5;
constexpr std::uint32_t kQword = 11;

struct RawValue {
  std::uint32_t type = 0;
  std::string data;
};

// Opens the key for reading into h, in the view the command asked for (the tool's registry
// adds it).
long OpenForReading(const std::string& key, bool /*view64*/, RegistryKey& h) {
  std::string path = key;
  std::string subKey;
  RegKey root = 0;
  clsRegistryAccess::ParseKeyPath(path, subKey, root);
  return h.OpenEx(root, subKey, reg::kKeyRead);
}

// The value's type and bytes, read in full; a Win32 code on failure.
long ReadRaw(Tool& tool, const std::string& key, bool view64, const std::string& name,
             RawValue& value) {
  Registry& r = tool.ctx.platform.registry;
  RegistryKey h(r);
  const long rc = OpenForReading(key, view64, h);
  if (rc != win32_error::kSuccess) return rc;
  std::uint32_t size = 0;
  long q = r.QueryValueEx(h.Handle(), name, &value.type, nullptr, &size);
  if (q != win32_error::kSuccess) return q;
  value.data.assign(size, '\0');
  q = r.QueryValueEx(h.Handle(), name, &value.type,
                     reinterpret_cast<std::uint8_t*>(value.data.data()), &size);
  if (q != win32_error::kSuccess) return q;
  value.data.resize(size);
  return win32_error::kSuccess;
}

std::string Hex(const std::string& bytes) {
  std::string out;
  char pair[3];
  for (unsigned char c : bytes) {
    std::snprintf(pair, sizeof pair, "%02X", c);
    out += pair;
  }
  return out;
}

std::string DataText(const RawValue& v) {
  switch (v.type) {
    case reg::kSz:
    case reg::kExpandSz:
      return v.data.substr(0, v.data.find('\0'));
    case reg::kMultiSz: {
      // The strings joined with \0, without the list's closing empty string.
      std::string d = v.data;
      while (!d.empty() && d.back() == '\0') d.pop_back();
      std::string out;
      for (char c : d) out += c == '\0' ? std::string("\\0") : std::string(1, c);
      return out;
    }
    case reg::kDword:
    case kDwordBigEndian:
    case kQword:
      // As reg shows them: the stored little-endian bytes as one number.
      if (v.data.size() == (v.type == kQword ? 8u : 4u)) {
        unsigned long long n = 0;
        for (std::size_t i = v.data.size(); i-- > 0;)
          n = (n << 8) | static_cast<unsigned char>(v.data[i]);
        char buffer[24];
        std::snprintf(buffer, sizeof buffer, "0x%llx", n);
        return buffer;
      }
      return Hex(v.data);
    default:
      return Hex(v.data);
  }
}

void PrintValue(Tool& tool, const std::string& name, const RawValue& v) {
  tool.out << "    " << (name.empty() ? "(Default)" : name) << "    " << TypeName(v.type) << "    "
           << DataText(v) << "\n";
}

// The key line, every value of the key in the registry's order, and an empty line; as reg,
// nothing for a key without values.
void PrintKey(Tool& tool, const std::string& key, bool view64) {
  const std::vector<std::string> names = ValueNames(tool, key, nullptr);
  if (names.empty()) return;
  tool.out << LongKeyName(key) << "\n";
  for (const std::string& name : names) {
    RawValue v;
    if (ReadRaw(tool, key, view64, name, v) == win32_error::kSuccess) PrintValue(tool, name, v);
  }
  tool.out << "\n";
}

std::vector<std::string> Subkeys(Tool& tool, const std::string& key, bool view64) {
  std::vector<std::string> keys;
  if (view64)
    tool.reg.EnumKeys64Bit(key, keys);
  else
    tool.reg.EnumKeys(key, keys);
  return keys;
}

// A link key is listed as a key, and neither its target's values nor its subkeys are shown:
// they belong to another place in the tree.
void PrintTree(Tool& tool, const std::string& key, bool view64) {
  if (IsLinkKey(tool, key)) {
    tool.out << LongKeyName(key) << "\n\n";
    return;
  }
  PrintKey(tool, key, view64);
  for (const std::string& name : Subkeys(tool, key, view64))
    PrintTree(tool, key + "\\" + name, view64);
}

// The value name (shown as asked) in every key of the tree that holds it; the count found.
int SearchTree(Tool& tool, const std::string& key, bool view64, const std::string& name,
               const std::string& shown) {
  int found = 0;
  if (IsLinkKey(tool, key)) return found;
  RawValue v;
  if (ReadRaw(tool, key, view64, name, v) == win32_error::kSuccess) {
    tool.out << LongKeyName(key) << "\n";
    PrintValue(tool, shown, v);
    tool.out << "\n";
    ++found;
  }
  for (const std::string& sub : Subkeys(tool, key, view64))
    found += SearchTree(tool, key + "\\" + sub, view64, name, shown);
  return found;
}

}  // namespace

// The names of the key's values, in the registry's order, exactly as stored.
std::vector<std::string> ValueNames(Tool& tool, const std::string& key, bool* opened) {
  std::vector<std::string> names;
  if (opened) *opened = false;
  Registry& r = tool.ctx.platform.registry;
  RegistryKey h(r);
  if (OpenForReading(key, false, h) != win32_error::kSuccess) return names;
  if (opened) *opened = true;
  std::string name(16384, '\0');
  for (std::uint32_t i = 0;; ++i) {
    std::uint32_t size = static_cast<std::uint32_t>(name.size());
    std::uint32_t type = 0;
    std::uint32_t dataSize = 0;
    if (r.EnumValue(h.Handle(), i, name.data(), &size, &type, nullptr, &dataSize) !=
        win32_error::kSuccess)
      break;
    names.emplace_back(name.data(), size);
  }
  return names;
}

int Query(Tool& tool, const Command& cmd) {
  const std::string& key = cmd.positional[0];
  const bool view64 = cmd.View64();
  if (cmd.Has("/v") && cmd.Has("/ve"))
    return UsageError(tool, "query", "/v and /ve cannot be given together.");
  if (cmd.Has("/v") && cmd.Value("/v").empty())
    return UsageError(tool, "query", "/v needs a value name; use /ve for the default value.");

  {
    RegistryKey h(tool.ctx.platform.registry);
    const long open = OpenForReading(key, view64, h);
    if (open != win32_error::kSuccess)
      return Fail(tool, "The key " + LongKeyName(key) + " cannot be opened: " +
                            fncFormatMessage(tool.ctx, static_cast<std::int32_t>(open)));
  }

  if ((cmd.Has("/v") || cmd.Has("/ve")) && cmd.Has("/s")) {
    const std::string name = cmd.Has("/v") ? cmd.Value("/v") : "";
    tool.out << "\n";
    const int found = SearchTree(tool, key, view64, name, name);
    tool.out << "Search complete. Number of matches found: " << found << "\n";
    return 0;
  }
  if (cmd.Has("/v") || cmd.Has("/ve")) {
    const std::string name = cmd.Has("/v") ? cmd.Value("/v") : "";
    RawValue v;
    const long rc = ReadRaw(tool, key, view64, name, v);
    if (rc != win32_error::kSuccess)
      return Fail(tool, "The value " + (name.empty() ? std::string("(Default)") : name) + " of " +
                            LongKeyName(key) + " cannot be read: " +
                            fncFormatMessage(tool.ctx, static_cast<std::int32_t>(rc)));
    tool.out << "\n" << LongKeyName(key) << "\n";
    PrintValue(tool, name, v);
    tool.out << "\n";
    return 0;
  }

  tool.out << "\n";
  if (cmd.Has("/s")) {
    PrintTree(tool, key, view64);
    return 0;
  }
  PrintKey(tool, key, view64);
  for (const std::string& name : Subkeys(tool, key, view64))
    tool.out << LongKeyName(key + "\\" + name) << "\n";
  return 0;
}

}  // namespace qreg
