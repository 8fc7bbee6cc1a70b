// add: creates a key, and sets one value through the class's writers.
#include <cstdint>

#include "main/run_context.h"
#include "qreg.h"
#include "registry/registry_access.h"
#include "text/text_util.h"

namespace qreg {
namespace {

// Decimal or 0x-prefixed hex, 0 to 0xFFFFFFFF, nothing else.
bool ParseDword(const std::string& s, std::uint32_t& value) {
  std::string digits = s;
  int base = 10;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    digits = digits.substr(2);
    base = 16;
  }
  if (digits.empty() || digits.size() > 10) return false;
  std::uint64_t n = 0;
  for (char c : digits) {
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else
      return false;
    n = n * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(d);
  }
  if (n > 0xFFFFFFFFu) return false;
  value = static_cast<std::uint32_t>(n);
  return true;
}

// The strings of the list separated by NUL, and the NUL that closes the list.
std::string MultiStringData(const std::string& data, const std::string& separator) {
  if (data.empty()) return std::string(1, '\0');
  return text::ReplaceAll(data, separator, std::string(1, '\0')) + std::string(2, '\0');
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
  if (type != reg::kSz && type != reg::kMultiSz && type != reg::kDword && type != reg::kBinary)
    return UsageError(tool, "add",
                      "Invalid type \"" + cmd.Value("/t") +
                          "\": use REG_SZ, REG_MULTI_SZ, REG_DWORD or REG_BINARY.");
  std::string separator = "\\0";
  if (cmd.Has("/s")) {
    if (type != reg::kMultiSz) return UsageError(tool, "add", "/s is only for REG_MULTI_SZ data.");
    separator = cmd.Value("/s");
    if (separator.size() != 1)
      return UsageError(tool, "add", "/s takes exactly one separator character.");
  }
  const std::string data = cmd.Has("/d") ? cmd.Value("/d") : "";
  std::uint32_t number = 0;
  if (type == reg::kDword && !ParseDword(data, number))
    return UsageError(tool, "add",
                      "Invalid REG_DWORD data \"" + data +
                          "\": give a number from 0 to 4294967295, decimal or 0x hex.");

  clsRegistryAccess& reg = tool.reg;
  std::string err;
  const bool valueWanted = cmd.Has("/v") || cmd.Has("/ve") || cmd.Has("/t") || cmd.Has("/d");
  if (!valueWanted) {
    if (reg.KeyExists(key)) return 0;
    const std::int32_t done = view64 ? reg.CreateKey64Bit(key, err) : reg.CreateKey(key, err);
    if (done == 0)
      return Fail(tool, err.empty() ? "The key " + LongKeyName(key) + " cannot be created." : err);
    return 0;
  }

  const std::string name = cmd.Has("/v") ? cmd.Value("/v") : "";
  if (reg.ValueExists(key, name) &&
      !Confirm(tool,
               "The value " + (name.empty() ? std::string("(Default)") : name) + " of " +
                   LongKeyName(key) + " exists; overwrite it?",
               cmd.Has("/f")))
    return 1;

  std::int32_t done = 0;
  switch (type) {
    case reg::kSz:
      done = view64 ? reg.WriteStringTo64Bit(key, name, data, err)
                    : reg.WriteString(key, name, data, err);
      break;
    case reg::kMultiSz: {
      const std::string list = MultiStringData(data, separator);
      done = view64 ? reg.WriteMulti64ToString(key, name, list, err)
                    : reg.WriteMultiString(key, name, list, err);
      break;
    }
    case reg::kDword: {
      const auto value = static_cast<std::int32_t>(number);
      done = view64 ? reg.WriteDWORD64Bit(key, name, value, err)
                    : reg.WriteDWORD(key, name, value, err);
      break;
    }
    default:
      done = view64 ? reg.WriteBinary64bit(key, name, data, err)
                    : reg.WriteBinary(key, name, data, err);
      break;
  }
  if (done == 0)
    return Fail(tool,
                err.empty() ? "The value cannot be written under " + LongKeyName(key) + "." : err);
  return 0;
}

}  // namespace qreg
