// Listing a key's values with their data.
#include "registry/registry_access.h"

#include <algorithm>
#include <vector>

#include "registry/registry_key.h"
#include "run/run_context.h"
#include "text/text_util.h"

namespace {
constexpr std::uint32_t kBuffer = 255;

using ValueEntry = clsRegistryAccess::ListedValue;

// One value by index: 0 with the entry, 259 at the end, another code when the enumeration
// fails. Data or a name larger than the 255-byte buffers is fetched again at its full size,
// so a long value is listed whole and under its own name rather than from stale buffers.
long ValueAt(Registry& r, RegKey key, std::uint32_t index, ValueEntry& out) {
  std::uint32_t nameCap = kBuffer;
  std::uint32_t dataCap = kBuffer;
  for (int attempt = 0; attempt < 6; ++attempt) {
    std::string name(nameCap + 1, ' ');
    std::string data(dataCap, ' ');
    std::uint32_t nameSize = nameCap;
    std::uint32_t dataSize = dataCap;
    std::uint32_t type = 0;
    const long rc = r.EnumValue(key, index, name.data(), &nameSize, &type,
                                reinterpret_cast<std::uint8_t*>(data.data()), &dataSize);
    if (rc == win32_error::kMoreData) {
      // Windows caps value names at 16,383 characters; the data size is what it reports.
      nameCap = 16384;
      dataCap = dataSize > dataCap ? dataSize : dataCap * 16;
      continue;
    }
    if (rc != win32_error::kSuccess) return rc;
    out.name.assign(name.data(), std::min(nameSize, nameCap));
    out.type = type;
    out.data.assign(data.data(), std::min(dataSize, dataCap));
    return rc;
  }
  return win32_error::kMoreData;
}
}  // namespace

std::int32_t clsRegistryAccess::EnumValues(std::string sPath, std::vector<std::string>& Names,
                                           std::vector<RegVariant>& Values,
                                           const std::int32_t& OnlyType) {
  return EnumValuesIn(std::move(sPath), Names, Values, OnlyType, nullptr);
}

std::int32_t clsRegistryAccess::EnumValuesIn(std::string sPath, std::vector<std::string>& Names,
                                             std::vector<RegVariant>& Values, std::int32_t OnlyType,
                                             std::vector<ListedValue>* raw) {
  if (raw) raw->clear();
  auto [root, subKey] = SplitKeyPath(sPath);
  Registry& r = ctx_.platform.registry;
  RegistryKey key(r);
  if (key.Open(root, subKey) != win32_error::kSuccess) return -1;
  Names.clear();
  Values.clear();
  ValueEntry e;
  for (std::uint32_t i = 0; ValueAt(r, key.Handle(), i, e) == win32_error::kSuccess; ++i) {
    if (OnlyType != -1 && static_cast<std::uint32_t>(OnlyType) != e.type) continue;
    Names.push_back(text::Trim(e.name));
    RegVariant value;
    if (e.type == reg::kBinary) {
      value = e.data.empty() ? std::string() : text::Trim(BinToStr(e.data));
    } else if (e.type == reg::kDword) {
      value = ReadDWORD(sPath, Names.back());
    } else if (e.type == reg::kSz) {
      std::string err;
      value = ReadString(sPath, Names.back(), err);
      // A text longer than ReadString's buffer is listed from the enumeration's own copy
      // rather than as an empty text.
      if (!err.empty()) value = e.data.substr(0, e.data.find('\0'));
    }
    Values.push_back(std::move(value));
    if (raw) raw->push_back(e);
  }
  return static_cast<std::int32_t>(Names.size());
}
