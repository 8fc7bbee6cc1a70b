// Creating, testing and listing keys.
#include "registry/registry_access.h"

#include <algorithm>

#include "registry/registry_key.h"
#include "run/failure_description.h"
#include "run/log_writer.h"
#include "run/run_context.h"
#include "run/windows_calls.h"
#include "text/text_util.h"

const clsRegistryAccess::KeyView clsRegistryAccess::kPlainView{"HaveSubkey", "EnumKeys", "KillKey",
                                                               "KillSubKey", 0};
const clsRegistryAccess::KeyView clsRegistryAccess::k64BitView{
    "HaveSubkey64Bit", "EnumKeys64Bit", "KillKey64bit", "KillSubKey64Bit", reg::kView64Bit};

namespace {
constexpr std::uint32_t kNameBuffer = 255;

// One subkey name by index: 0 with the name, 259 at the end, another code when the
// enumeration itself fails. A name longer than the buffer (234) yields what the buffer holds.
long SubkeyName(Registry& r, RegKey key, std::uint32_t index, std::string& name) {
  char buffer[kNameBuffer + 1] = {};
  std::uint32_t size = kNameBuffer;
  const long rc = r.EnumKeyEx(key, index, buffer, &size);
  if (rc == win32_error::kNoMoreItems) return rc;
  if (rc != win32_error::kSuccess && rc != win32_error::kMoreData) return rc;
  name.assign(buffer, std::min<std::uint32_t>(size, kNameBuffer));
  return win32_error::kSuccess;
}
}  // namespace

std::int32_t clsRegistryAccess::CreateKey(std::string sPath, std::string& strErr) {
  strErr.clear();
  subWriteLog(ctx_, "MSG : Creating the resgistry key " + sPath);
  try {
    auto [root, subKey] = SplitKeyPath(sPath);
    RegistryKey key(ctx_.platform.registry);
    const long rc = key.Create(root, subKey);
    if (rc != win32_error::kSuccess) {
      strErr = "Failed to create the registry key " + sPath + ", " + fncFormatMessage(ctx_, rc);
      subWriteLog(ctx_, "ERR : " + strErr);
      return 0;
    }
    subWriteLog(ctx_, "MSG : Successfully created the key " + sPath);
    return static_cast<std::int32_t>(key.Handle());
  } catch (...) {
    strErr = "Failed to create the registry key " + sPath + "," + DescriptionOfCurrentFailure();
    subWriteLog(ctx_, "ERR : " + strErr);
    return 0;
  }
}

std::int32_t clsRegistryAccess::CreateKey64Bit(std::string sPath, std::string& sErr) {
  sErr.clear();
  subWriteLog(ctx_, "MSG : Creating the resgistry key " + sPath);
  try {
    auto [root, subKey] = SplitKeyPath(sPath);
    Registry& r = ctx_.platform.registry;
    const std::uint32_t mask = reg::kKeyAllAccess | reg::kView64Bit;
    {
      RegistryKey existing(r);
      // An existing key is left as it is.
      if (existing.OpenEx(root, subKey, mask) == win32_error::kSuccess) return 0;
    }
    RegistryKey key(r);
    std::uint32_t disposition = 0;
    const long rc = key.CreateEx(root, subKey, "REG_DWORD", 0, mask, &disposition);
    if (rc != win32_error::kSuccess) {
      subWriteLog(ctx_, "ERR : failed to create the key " + sPath + " with error as " +
                            fncFormatMessage(ctx_, rc));
      return 0;
    }
    subWriteLog(ctx_, "MSG : Successfully created the key " + sPath);
    return static_cast<std::int32_t>(key.Handle());
  } catch (...) {
    return 0;
  }
}

bool clsRegistryAccess::KeyExists(const std::string& sPath) {
  return KeyExistsIn(0, sPath);
}

bool clsRegistryAccess::KeyExistsIn(std::uint32_t viewBits, std::string sPath) {
  auto [root, subKey] = SplitKeyPath(sPath);
  RegistryKey key(ctx_.platform.registry);
  return key.OpenEx(root, subKey, reg::kKeyAllAccess | viewBits) == win32_error::kSuccess;
}

bool clsRegistryAccess::HaveSubkey(const std::string& sPath, const std::string& /*sSubkeyname*/) {
  return HaveSubkeyIn(kPlainView, sPath);
}

bool clsRegistryAccess::HaveSubkey64Bit(const std::string& sPath,
                                        const std::string& /*sSubkeyname*/) {
  return HaveSubkeyIn(k64BitView, sPath);
}

bool clsRegistryAccess::HaveSubkeyIn(const KeyView& v, std::string sPath) {
  const bool plain = v.viewBits == 0;
  subWriteLog(ctx_, std::string("MSG : ") + v.haveSubkeyName + ", " + sPath);
  try {
    auto [root, subKey] = SplitKeyPath(sPath);
    Registry& r = ctx_.platform.registry;
    RegistryKey key(r);
    const long rc =
        plain ? key.Open(root, subKey) : key.OpenEx(root, subKey, reg::kKeyRead | v.viewBits);
    if (rc != win32_error::kSuccess) {
      subWriteLog(
          ctx_, plain ? "ERR : Failed to open the key, " + sPath + ", " + fncFormatMessage(ctx_, rc)
                      : "ERR : failed to open the key, " + fncFormatMessage(ctx_, rc));
      return false;
    }
    char buffer[kNameBuffer + 1] = {};
    std::uint32_t size = kNameBuffer;
    // Anything but "no more items" means there is a subkey at index 0; a first name longer
    // than the buffer answers 234.
    if (r.EnumKeyEx(key.Handle(), 0, buffer, &size) != win32_error::kNoMoreItems) {
      subWriteLog(ctx_, "MSG : Subkeys found");
      return true;
    }
    subWriteLog(ctx_, "MSG : No subkeys found");
    return false;
  } catch (...) {
    subWriteLog(ctx_,
                std::string("ERR : ") + v.haveSubkeyName + ", " + DescriptionOfCurrentFailure());
    return false;
  }
}

std::int32_t clsRegistryAccess::EnumKeys(const std::string& sPath, std::vector<std::string>& Key) {
  return EnumKeysIn(kPlainView, sPath, Key);
}

std::int32_t clsRegistryAccess::EnumKeys64Bit(const std::string& sPath,
                                              std::vector<std::string>& Key) {
  return EnumKeysIn(k64BitView, sPath, Key);
}

std::int32_t clsRegistryAccess::EnumKeysIn(const KeyView& v, std::string sPath,
                                           std::vector<std::string>& Key) {
  try {
    auto [root, subKey] = SplitKeyPath(sPath);
    Key.clear();
    Registry& r = ctx_.platform.registry;
    RegistryKey key(r);
    const long rc = v.viewBits == 0 ? key.Open(root, subKey)
                                    : key.OpenEx(root, subKey, reg::kKeyAllAccess | v.viewBits);
    if (rc != win32_error::kSuccess) {
      subWriteLog(ctx_, "ERR : key does not exists");
      return -1;
    }
    std::string name;
    // A failing enumeration (other than "no more items") ends the list rather than
    // repeating the same index for ever.
    for (std::uint32_t i = 0;; ++i) {
      if (SubkeyName(r, key.Handle(), i, name) != win32_error::kSuccess) break;
      Key.push_back(name);
    }
    return static_cast<std::int32_t>(Key.size());
  } catch (...) {
    subWriteLog(ctx_,
                std::string("ERR : ") + v.enumKeysName + ", " + DescriptionOfCurrentFailure());
    return static_cast<std::int32_t>(Key.size());
  }
}

std::int32_t clsRegistryAccess::EnumKeysSoftware(std::string sPath, std::vector<std::string>& Key) {
  auto [root, subKey] = SplitKeyPath(sPath);
  Key.clear();
  Registry& r = ctx_.platform.registry;
  RegistryKey key(r);
  if (key.Open(root, subKey) != win32_error::kSuccess) return -1;
  std::string name;
  for (std::uint32_t i = 0; SubkeyName(r, key.Handle(), i, name) == win32_error::kSuccess; ++i) {
    // Only a subkey that opens is read; it is closed again at once.
    if (RegistryKey(r).Open(root, subKey + "\\" + name) != win32_error::kSuccess) continue;
    std::string err;
    const std::string display = ReadString(sPath + "\\" + name, "DisplayName", err);
    if (!text::Trim(display).empty()) Key.push_back(display);
  }
  return static_cast<std::int32_t>(Key.size());
}
