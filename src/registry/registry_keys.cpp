// Creating, testing and listing keys.
#include <cstring>

#include "platform/runtime_error.h"
#include "registry/key_guard.h"
#include "registry/registry_access.h"
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
    ParseKeyPath(sPath, SubKey, RootKey);
    KeyHandle = 0;
    const long rc = ctx_.platform.registry.CreateKey(RootKey, SubKey, KeyHandle);
    if (rc != win32_error::kSuccess) {
      strErr = "Failed to create the registry key " + sPath + ", " + fncFormatMessage(ctx_, rc);
      subWriteLog(ctx_, "ERR : " + strErr);
      return 0;
    }
    KeyGuard guard(ctx_.platform.registry, KeyHandle);
    subWriteLog(ctx_, "MSG : Successfully created the key " + sPath);
    return static_cast<std::int32_t>(KeyHandle);
  } catch (const RuntimeError& e) {
    strErr = "Failed to create the registry key " + sPath + "," + e.Description();
    subWriteLog(ctx_, "ERR : " + strErr);
    return 0;
  }
}

std::int32_t clsRegistryAccess::CreateKey64Bit(std::string sPath, std::string& sErr) {
  sErr.clear();
  subWriteLog(ctx_, "MSG : Creating the resgistry key " + sPath);
  try {
    ParseKeyPath(sPath, SubKey, RootKey);
    Registry& r = ctx_.platform.registry;
    const std::uint32_t mask = reg::kKeyAllAccess | reg::kView64Bit;
    KeyHandle = 0;
    if (r.OpenKeyEx(RootKey, SubKey, mask, KeyHandle) == win32_error::kSuccess) {
      // An existing key is left as it is.
      KeyGuard existing(r, KeyHandle);
      return 0;
    }
    KeyHandle = 0;
    std::uint32_t disposition = 0;
    const long rc = r.CreateKeyEx(RootKey, SubKey, "REG_DWORD", 0, mask, KeyHandle, &disposition);
    if (rc != win32_error::kSuccess) {
      subWriteLog(ctx_, "ERR : failed to create the key " + sPath + " with error as " +
                            fncFormatMessage(ctx_, rc));
      return 0;
    }
    KeyGuard guard(r, KeyHandle);
    subWriteLog(ctx_, "MSG : Successfully created the key " + sPath);
    return static_cast<std::int32_t>(KeyHandle);
  } catch (const RuntimeError&) {
    return 0;
  }
}

bool clsRegistryAccess::KeyExists(std::string sPath) {
  return KeyExistsIn(0, std::move(sPath));
}

bool clsRegistryAccess::KeyExistsIn(std::uint32_t viewBits, std::string sPath) {
  ParseKeyPath(sPath, SubKey, RootKey);
  KeyHandle = 0;
  if (ctx_.platform.registry.OpenKeyEx(RootKey, SubKey, reg::kKeyAllAccess | viewBits, KeyHandle) !=
      win32_error::kSuccess)
    return false;
  KeyGuard guard(ctx_.platform.registry, KeyHandle);
  return true;
}

bool clsRegistryAccess::HaveSubkey(std::string sPath, std::string& /*sSubkeyname*/) {
  return HaveSubkeyIn(kPlainView, std::move(sPath));
}

bool clsRegistryAccess::HaveSubkey64Bit(std::string sPath, std::string& /*sSubkeyname*/) {
  return HaveSubkeyIn(k64BitView, std::move(sPath));
}

bool clsRegistryAccess::HaveSubkeyIn(const KeyView& v, std::string sPath) {
  const bool plain = v.viewBits == 0;
  subWriteLog(ctx_, std::string("MSG : ") + v.haveSubkeyName + ", " + sPath);
  try {
    ParseKeyPath(sPath, SubKey, RootKey);
    Registry& r = ctx_.platform.registry;
    RegKey key = 0;
    const long rc = plain ? r.OpenKey(RootKey, SubKey, key)
                          : r.OpenKeyEx(RootKey, SubKey, reg::kKeyRead | v.viewBits, key);
    if (rc != win32_error::kSuccess) {
      subWriteLog(
          ctx_, plain ? "ERR : Failed to open the key, " + sPath + ", " + fncFormatMessage(ctx_, rc)
                      : "ERR : failed to open the key, " + fncFormatMessage(ctx_, rc));
      return false;
    }
    KeyGuard guard(r, key);
    char buffer[kNameBuffer + 1] = {};
    std::uint32_t size = kNameBuffer;
    // Anything but "no more items" means there is a subkey at index 0.
    if (r.EnumKeyEx(key, 0, buffer, &size) != win32_error::kNoMoreItems) {
      subWriteLog(ctx_, "MSG : Subkeys found");
      return true;
    }
    subWriteLog(ctx_, "MSG : No subkeys found");
    return false;
  } catch (const RuntimeError& e) {
    subWriteLog(ctx_, std::string("ERR : ") + v.haveSubkeyName + ", " + e.Description());
    return false;
  }
}

std::int32_t clsRegistryAccess::EnumKeys(std::string sPath, std::vector<std::string>& Key) {
  return EnumKeysIn(kPlainView, std::move(sPath), Key);
}

std::int32_t clsRegistryAccess::EnumKeys64Bit(std::string sPath, std::vector<std::string>& Key) {
  return EnumKeysIn(k64BitView, std::move(sPath), Key);
}

std::int32_t clsRegistryAccess::EnumKeysIn(const KeyView& v, std::string sPath,
                                           std::vector<std::string>& Key) {
  try {
    ParseKeyPath(sPath, SubKey, RootKey);
    Key.clear();
    Registry& r = ctx_.platform.registry;
    RegKey key = 0;
    const long rc = v.viewBits == 0
                        ? r.OpenKey(RootKey, SubKey, key)
                        : r.OpenKeyEx(RootKey, SubKey, reg::kKeyAllAccess | v.viewBits, key);
    if (rc != win32_error::kSuccess) {
      subWriteLog(ctx_, "ERR : key does not exists");
      return -1;
    }
    KeyGuard guard(r, key);
    std::string name;
    // A failing enumeration (other than "no more items") ends the list rather than
    // repeating the same index for ever.
    for (std::uint32_t i = 0;; ++i) {
      if (SubkeyName(r, key, i, name) != win32_error::kSuccess) break;
      Key.push_back(name);
    }
    return static_cast<std::int32_t>(Key.size());
  } catch (const RuntimeError& e) {
    subWriteLog(ctx_, std::string("ERR : ") + v.enumKeysName + ", " + e.Description());
    return static_cast<std::int32_t>(Key.size());
  }
}

std::int32_t clsRegistryAccess::EnumKeysSoftware(std::string sPath, std::vector<std::string>& Key) {
  std::string subKey;
  RegKey root = 0;
  ParseKeyPath(sPath, subKey, root);
  Key.clear();
  Registry& r = ctx_.platform.registry;
  RegKey key = 0;
  if (r.OpenKey(root, subKey, key) != win32_error::kSuccess) return -1;
  KeyGuard guard(r, key);
  std::string name;
  for (std::uint32_t i = 0; SubkeyName(r, key, i, name) == win32_error::kSuccess; ++i) {
    RegKey sub = 0;
    if (r.OpenKey(root, subKey + "\\" + name, sub) != win32_error::kSuccess) continue;
    r.CloseKey(sub);
    std::string err;
    const std::string display = ReadString(sPath + "\\" + name, "DisplayName", err);
    if (!text::Trim(display).empty()) Key.push_back(display);
  }
  return static_cast<std::int32_t>(Key.size());
}
