// Reading values: each operation opens the key for reading, queries the one value into its
// own fixed buffer, closes the key and gives the value in a simple form.
#include "registry/registry_access.h"

#include <algorithm>
#include <vector>

#include "platform/system.h"
#include "registry/registry_key.h"
#include "run/failure_description.h"
#include "run/log_writer.h"
#include "run/run_context.h"
#include "run/windows_calls.h"
#include "text/buffer_text.h"
#include "text/text_util.h"

namespace {
constexpr std::uint32_t kStringBuffer = 255;
constexpr std::uint32_t kExpandableBuffer = 600;
constexpr std::uint32_t kExpansionBuffer = 1000;
constexpr std::uint32_t kLongestExpansion = 1u << 20;

std::string AsText(const std::vector<std::uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}
}  // namespace

std::string clsRegistryAccess::ReadString(std::string sPath, const std::string& sName,
                                          std::string& sErr) {
  subWriteLog(ctx_, "MSG : ReadString, " + sPath + "[" + sName + "]");
  return ReadTextValue(sPath, sName, reg::kSz, "Error while reading the string key ", sErr);
}

std::string clsRegistryAccess::ReadString(const std::string& sPath, const std::string& sName) {
  std::string sErr;
  return ReadString(sPath, sName, sErr);
}

std::string clsRegistryAccess::ReadMultiStringValue(std::string& sPath, const std::string& sName,
                                                    std::string& sErr) {
  subWriteLog(ctx_, "MSG : ReadMultiStringValue, " + sPath + "[" + sName + "]");
  return ReadTextValue(sPath, sName, reg::kMultiSz, "Error while reading the multi string key ",
                       sErr);
}

// The shared steps of ReadString and ReadMultiStringValue: a 255-byte buffer cut at its first
// NUL, which for a string list is its first string.
std::string clsRegistryAccess::ReadTextValue(std::string& sPath, const std::string& sName,
                                             std::uint32_t type, const std::string& guardText,
                                             std::string& sErr) {
  Registry& registry = ctx_.platform.registry;
  try {
    auto [root, subKey] = SplitKeyPath(sPath);
    RegistryKey key(registry);
    long rc = key.OpenEx(root, subKey, reg::kKeyRead);
    if (rc != 0) {
      sErr = fncFormatMessage(ctx_, static_cast<std::int32_t>(rc));
      subWriteLog(ctx_, "ERR : " + sErr);
      return "";
    }
    std::vector<std::uint8_t> buffer(kStringBuffer, 0);
    std::uint32_t valueType = type;
    std::uint32_t size = kStringBuffer;
    rc = registry.QueryValueEx(key.Handle(), sName, &valueType, buffer.data(), &size);
    if (rc != 0) {
      sErr = fncFormatMessage(ctx_, static_cast<std::int32_t>(rc));
      subWriteLog(ctx_, "ERR : " + sErr);
      return "";
    }
    key.Close();
    return text::BeforeFirstNul(AsText(buffer));
  } catch (...) {
    sErr = guardText + sPath + "[" + sName + "], " + DescriptionOfCurrentFailure();
  }
  subWriteLog(ctx_, "ERR : " + sErr);
  return "";
}

std::int32_t clsRegistryAccess::ReadDWORD(std::string sPath, const std::string& sName,
                                          std::int32_t /*lDefault: failures give 0*/) {
  subWriteLog(ctx_, "MSG : ReadDWORD, " + sPath + "[" + sName + "]");
  Registry& registry = ctx_.platform.registry;
  auto [root, subKey] = SplitKeyPath(sPath);
  RegistryKey key(registry);
  if (key.OpenEx(root, subKey, reg::kKeyRead) != 0) return 0;
  std::uint8_t bytes[4] = {};
  std::uint32_t type = reg::kDword;
  std::uint32_t size = sizeof bytes;
  if (registry.QueryValueEx(key.Handle(), sName, &type, bytes, &size) != 0) return 0;
  // Little-endian; a shorter value leaves the high bytes 0.
  const std::uint32_t value =
      bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
  return static_cast<std::int32_t>(value);
}

std::string clsRegistryAccess::ReadBinary(std::string sPath, const std::string& sName,
                                          const std::string& /*sDefault: failures give ""*/) {
  subWriteLog(ctx_, "MSG : ReadBinary, " + sPath + "[" + sName + "]");
  Registry& registry = ctx_.platform.registry;
  auto [root, subKey] = SplitKeyPath(sPath);
  RegistryKey key(registry);
  if (key.OpenEx(root, subKey, reg::kKeyRead) != 0) return "";
  // Probe the size with a one-byte buffer; only the size reported matters.
  std::uint8_t probe = 0;
  std::uint32_t type = reg::kBinary;
  std::uint32_t size = 1;
  registry.QueryValueEx(key.Handle(), sName, &type, &probe, &size);
  std::vector<std::uint8_t> buffer(size, 0);
  type = reg::kBinary;
  if (registry.QueryValueEx(key.Handle(), sName, &type, buffer.data(), &size) != 0) return "";
  buffer.resize(std::min<std::size_t>(buffer.size(), size));
  key.Close();
  return text::Trim(BinToStr(AsText(buffer)));
}

std::string clsRegistryAccess::ReadExpandableString(std::string sPath, const std::string& sName,
                                                    const std::string& /*sDefault*/) {
  subWriteLog(ctx_, "MSG : ReadExpandableString, " + sPath + "[" + sName + "]");
  Registry& registry = ctx_.platform.registry;
  auto [root, subKey] = SplitKeyPath(sPath);
  RegistryKey key(registry);
  if (key.OpenEx(root, subKey, reg::kKeyRead) != 0) return "";
  std::vector<std::uint8_t> buffer(kExpandableBuffer, 0);
  std::uint32_t type = reg::kSz;
  std::uint32_t size = kExpandableBuffer;
  if (registry.QueryValueEx(key.Handle(), sName, &type, buffer.data(), &size) != 0) return "";
  key.Close();
  const std::string source = text::BeforeFirstNul(AsText(buffer));

  // The destination grows to the size the call reports, so a long expansion comes back whole.
  // The size counts the closing NUL.
  System& system = ctx_.platform.system;
  const text::GrownBuffer expanded = text::GrowToReportedSize(
      {kExpansionBuffer, kLongestExpansion, true, '\0', 0},
      [&](char* destination, std::uint32_t capacity) {
        return system.ExpandEnvironmentStrings(source, destination, capacity);
      });
  if (!expanded.Fits()) return "";
  // A failed call (0) asks for a negative length: a run-time error for the caller.
  return text::Left(expanded.buffer, static_cast<long>(expanded.length) - 1);
}

bool clsRegistryAccess::ValueExists(std::string sPath, const std::string& sName) {
  Registry& registry = ctx_.platform.registry;
  auto [root, subKey] = SplitKeyPath(sPath);
  RegistryKey key(registry);
  if (key.OpenEx(root, subKey, reg::kKeyRead) != 0) return false;
  std::uint32_t type = reg::kNone;
  std::uint32_t size = 1;
  return registry.QueryValueEx(key.Handle(), sName, &type, nullptr, &size) == 0;
}
