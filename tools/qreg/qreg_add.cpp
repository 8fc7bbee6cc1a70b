// add: creates a key and sets one value. The four types the registry class writes go
// through its writers; the others through the registry service, with reg's data rules.
#include "qreg.h"

#include <cstdint>

#include "reg_text.h"
#include "registry/registry_access.h"
#include "registry/registry_key.h"
#include "run/run_context.h"
#include "run/windows_calls.h"
#include "text/text_util.h"

namespace qreg {
namespace {

constexpr std::uint32_t kDwordBigEndian = 5;
constexpr std::uint32_t kQword = 11;

// Decimal or 0x-prefixed hex, 0 to limit, nothing else.
bool ParseNumber(const std::string& s, std::uint64_t limit, std::uint64_t& value) {
  std::string digits = s;
  std::uint64_t base = 10;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    digits = digits.substr(2);
    base = 16;
  }
  if (digits.empty()) return false;
  std::uint64_t n = 0;
  for (char c : digits) {
    std::uint64_t d;
    if (c >= '0' && c <= '9')
      d = static_cast<std::uint64_t>(c - '0');
    else if (base == 16 && c >= 'a' && c <= 'f')
      d = static_cast<std::uint64_t>(c - 'a') + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      d = static_cast<std::uint64_t>(c - 'A') + 10;
    else
      return false;
    if (n > (limit - d) / base) return false;
    n = n * base + d;
  }
  value = n;
  return true;
}

// reg's list rules: no empty string inside the list (two separators together, or one
// leading a longer text), a trailing separator closes the last string, empty data is the
// empty list.
bool MultiStringData(const std::string& data, const std::string& separator, std::string& list) {
  list.clear();
  if (data.empty()) {
    list.assign(1, '\0');
    return true;
  }
  if (data.find(separator + separator) != std::string::npos) return false;
  if (data.rfind(separator, 0) == 0 && data.size() > separator.size()) return false;
  list = text::ReplaceAll(data, separator, std::string(1, '\0'));
  const bool closed =
      data.size() >= separator.size() &&
      data.compare(data.size() - separator.size(), separator.size(), separator) == 0;
  if (!closed) list += '\0';
  list += '\0';
  return true;
}

// The value's bytes for the types the class does not write.
std::string LittleEndian(std::uint64_t n, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((n >> (8 * i)) & 0xFF);
  return out;
}

// Creates the key and sets the value through the registry service.
long SetRaw(Tool& tool, const std::string& key, const std::string& name, std::uint32_t type,
            const std::string& bytes) {
  Registry& r = tool.ctx.platform.registry;
  RegistryKey h(r);
  const long rc =
      h.CreateEx(HiveRoot(key.substr(0, key.find('\\'))),
                 key.find('\\') == std::string::npos ? "" : key.substr(key.find('\\') + 1), "", 0,
                 reg::kKeyWrite, nullptr);
  if (rc != win32_error::kSuccess) return rc;
  return r.SetValueEx(h.Handle(), name, type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                      static_cast<std::uint32_t>(bytes.size()));
}

}  // namespace

int Add(Tool& tool, const Command& cmd) {
  const std::string& key = cmd.positional[0];
  const bool view64 = cmd.View64();
  if (cmd.Has("/v") && cmd.Has("/ve"))
    return UsageError(tool, "add", "/v and /ve cannot be given together.");
  if (cmd.Has("/v") && cmd.Value("/v").empty())
    return UsageError(tool, "add", "/v needs a value name; use /ve for the default value.");
  const std::uint32_t type = cmd.Has("/t") ? TypeFromName(cmd.Value("/t")) : reg::kSz;
  if (type != reg::kSz && type != reg::kMultiSz && type != reg::kDword && type != reg::kBinary &&
      type != reg::kNone && type != reg::kExpandSz && type != kQword && type != kDwordBigEndian)
    return UsageError(tool, "add",
                      "Invalid type \"" + cmd.Value("/t") +
                          "\": use REG_SZ, REG_MULTI_SZ, REG_EXPAND_SZ, REG_DWORD, REG_QWORD, "
                          "REG_BINARY, REG_NONE, REG_DWORD_LITTLE_ENDIAN or REG_DWORD_BIG_ENDIAN.");
  std::string separator = "\\0";
  if (cmd.Has("/s")) {
    if (type != reg::kMultiSz) return UsageError(tool, "add", "/s is only for REG_MULTI_SZ data.");
    separator = cmd.Value("/s");
    if (separator.size() != 1)
      return UsageError(tool, "add", "/s takes exactly one separator character.");
  }
  const std::string data = cmd.Has("/d") ? cmd.Value("/d") : "";
  std::uint64_t number = 0;
  if ((type == reg::kDword || type == kDwordBigEndian) && !ParseNumber(data, 0xFFFFFFFFu, number))
    return UsageError(tool, "add",
                      "Invalid " + TypeName(type) + " data \"" + data +
                          "\": give a number from 0 to 4294967295, decimal or 0x hex.");
  if (type == kQword && !ParseNumber(data.empty() ? "0" : data, ~0ull, number))
    return UsageError(tool, "add",
                      "Invalid REG_QWORD data \"" + data +
                          "\": give a number from 0 to 18446744073709551615, decimal or 0x hex.");
  std::string list;
  if (type == reg::kMultiSz && !MultiStringData(data, separator, list))
    return UsageError(tool, "add",
                      "Invalid REG_MULTI_SZ data \"" + data +
                          "\": a string of the list is empty (two separators together, or one "
                          "at the start).");
  // reg pads an odd count of hex digits with a leading 0.
  const std::string hex = data.size() % 2 ? "0" + data : data;

  clsRegistryAccess& reg = tool.reg;
  std::string err;
  // As reg: without /v, the default value is set, an empty REG_SZ when nothing else is said.
  const std::string name = cmd.Has("/v") ? cmd.Value("/v") : "";
  if (reg.ValueExists(key, name) &&
      !Confirm(tool,
               "The value " + (name.empty() ? std::string("(Default)") : name) + " of " +
                   LongKeyName(key) + " exists; overwrite it?",
               cmd.Has("/f")))
    return 1;

  std::int32_t done = 0;
  long rc = win32_error::kSuccess;
  switch (type) {
    case reg::kSz:
      done = view64 ? reg.WriteStringTo64Bit(key, name, data, err)
                    : reg.WriteString(key, name, data, err);
      break;
    case reg::kMultiSz:
      done = view64 ? reg.WriteMulti64ToString(key, name, list, err)
                    : reg.WriteMultiString(key, name, list, err);
      break;
    case reg::kDword: {
      const auto value = static_cast<std::int32_t>(static_cast<std::uint32_t>(number));
      done = view64 ? reg.WriteDWORD64Bit(key, name, value, err)
                    : reg.WriteDWORD(key, name, value, err);
      break;
    }
    case reg::kBinary:
      done =
          view64 ? reg.WriteBinary64bit(key, name, hex, err) : reg.WriteBinary(key, name, hex, err);
      break;
    case reg::kExpandSz:
      rc = SetRaw(tool, key, name, type, data + std::string(1, '\0'));
      break;
    case reg::kNone:
      // As reg stores it: the text in UTF-16LE with its closing NUL.
      rc = SetRaw(tool, key, name, type, Utf16FromAnsi(data) + std::string(2, '\0'));
      break;
    case kQword:
      rc = SetRaw(tool, key, name, type, LittleEndian(number, 8));
      break;
    default:  // REG_DWORD_BIG_ENDIAN: reg stores the number's little-endian bytes
      rc = SetRaw(tool, key, name, type, LittleEndian(number, 4));
      break;
  }
  if (rc != win32_error::kSuccess)
    return Fail(tool, "The value cannot be written under " + LongKeyName(key) + ": " +
                          fncFormatMessage(tool.ctx, static_cast<std::int32_t>(rc)));
  if (type == reg::kSz || type == reg::kMultiSz || type == reg::kDword || type == reg::kBinary) {
    if (done == 0)
      return Fail(
          tool, err.empty() ? "The value cannot be written under " + LongKeyName(key) + "." : err);
  }
  return 0;
}

}  // namespace qreg
