// Deleting keys: KillKey with its protected list and subkey check, KillSubKey depth first.
#include "registry/registry_access.h"

#include <array>
#include <string_view>

#include "platform/runtime_error.h"
#include "registry/registry_key.h"
#include "run/failure_description.h"
#include "run/log_writer.h"
#include "run/run_context.h"
#include "run/windows_calls.h"
#include "text/text_util.h"

namespace {
// Keys under HKLM whose loss makes the system unusable, in upper case. The last three are
// the class registrations, the link to the running control set, and the 32-bit software.
constexpr std::array<std::string_view, 9> kProtected{"SOFTWARE",
                                                     "SOFTWARE\\MICROSOFT",
                                                     "HARDWARE",
                                                     "SAM",
                                                     "SECURITY",
                                                     "SYSTEM",
                                                     "SOFTWARE\\CLASSES",
                                                     "SYSTEM\\CURRENTCONTROLSET",
                                                     "SOFTWARE\\WOW6432NODE"};

// The key path below the root, as every operation resolves it: parts trimmed, empty parts
// dropped, upper case; root 0 for an unknown hive.
std::string NormalKey(const std::string& sPath, RegKey& root) {
  std::string path = text::Trim(sPath);
  std::string subKey;
  clsRegistryAccess::ParseKeyPath(path, subKey, root);
  std::string normal;
  std::size_t pos = 0;
  while (pos <= subKey.size()) {
    std::size_t end = subKey.find('\\', pos);
    if (end == std::string::npos) end = subKey.size();
    const std::string part = text::Trim(subKey.substr(pos, end - pos));
    if (!part.empty()) normal += (normal.empty() ? "" : "\\") + text::UpperAscii(part);
    pos = end + 1;
  }
  return normal;
}

// True when the path names a hive itself, however it is spelled, or a user's hive loaded
// under HKEY_USERS: deleting one would empty it of everything.
bool IsHiveRoot(const std::string& sPath) {
  RegKey root = 0;
  const std::string normal = NormalKey(sPath, root);
  if (root == 0) return false;
  return normal.empty() || (root == reg::kUsers && normal.find('\\') == std::string::npos);
}

// True for a hive root or one of the protected keys, however spelled: short or long hive
// name, any case, surrounding spaces, repeated or trailing backslashes.
bool IsProtectedKey(const std::string& sPath) {
  if (IsHiveRoot(sPath)) return true;
  RegKey root = 0;
  const std::string normal = NormalKey(sPath, root);
  if (root != reg::kLocalMachine) return false;
  for (std::string_view p : kProtected)
    if (normal == p) return true;
  return false;
}

std::string RefusalText(const std::string& sPath) {
  return sPath + " cannot be deleted, as deleting it might cause the OS to repair or re-install. ";
}

}  // namespace

bool clsRegistryAccess::OpenIfLink(const KeyView& v, RegKey root, const std::string& subKey,
                                   RegistryKey& key) {
  Registry& r = ctx_.platform.registry;
  if (subKey.empty() || key.OpenExOptions(root, subKey, reg::kOptionOpenLink,
                                          reg::kKeyAllAccess | v.viewBits) != win32_error::kSuccess)
    return false;
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  if (r.QueryValueEx(key.Handle(), reg::kLinkValueName, &type, nullptr, &size) ==
          win32_error::kSuccess &&
      type == reg::kLink)
    return true;
  key.Close();
  return false;
}

namespace {
RuntimeError SubscriptOutOfRange() {
  return RuntimeError(9, "Subscript out of range");
}
}  // namespace

std::int32_t clsRegistryAccess::KillKey(const std::string& sPath, const std::string& sRecursive,
                                        std::string& sErr) {
  return KillKeyIn(kPlainView, sPath, sRecursive, sErr);
}

std::int32_t clsRegistryAccess::KillKey64bit(const std::string& sPath,
                                             const std::string& sRecursive, std::string& sErr) {
  return KillKeyIn(k64BitView, sPath, sRecursive, sErr);
}

std::int32_t clsRegistryAccess::KillSubKey(const std::string& sPath, std::string& sErr) {
  return KillSubKeyIn(kPlainView, sPath, sErr);
}

std::int32_t clsRegistryAccess::KillSubKey64Bit(const std::string& sPath, std::string& sErr) {
  return KillSubKeyIn(k64BitView, sPath, sErr);
}

std::int32_t clsRegistryAccess::KillKeyIn(const KeyView& v, std::string sPath,
                                          const std::string& sRecursive, std::string& sErr) {
  subWriteLog(ctx_, std::string("MSG : ") + v.killKeyName + ", path:" + sPath);
  sErr.clear();
  try {
    if (IsProtectedKey(sPath)) {
      sErr = RefusalText(sPath);
      subWriteLog(ctx_, "ERR : " + sErr);
      return 0;
    }
    {
      // Only the path's rewrite matters here: the checks below see the hive shortened.
      auto [root, subKey] = SplitKeyPath(sPath);
      // A link key goes by itself; its subkeys are its target's.
      RegistryKey link(ctx_.platform.registry);
      if (OpenIfLink(v, root, subKey, link)) return KillSubKeyIn(v, sPath, sErr);
    }
    if (!HaveSubkeyIn(v, sPath)) return KillSubKeyIn(v, sPath, sErr);
    if (sRecursive != "Y") {
      sErr = sPath +
             " key cannot be deleted as it has subkeys assoicated with it, and the script has "
             "not opted to delete the subkeys.";
      subWriteLog(ctx_, "ERR : " + sErr);
      return 0;
    }
    std::vector<std::string> keys;
    if (EnumKeysIn(v, sPath, keys) <= 0) throw SubscriptOutOfRange();
    for (const std::string& name : keys) KillSubKeyIn(v, sPath + "\\" + name, sErr);
    return KillSubKeyIn(v, sPath, sErr);
  } catch (...) {
    sErr = "Error while deleting the key " + sPath + ", " + DescriptionOfCurrentFailure();
    subWriteLog(ctx_, std::string("ERR : ") + v.killKeyName + ", " + sErr);
    return 0;
  }
}

std::int32_t clsRegistryAccess::KillSubKeyIn(const KeyView& v, std::string sPath,
                                             std::string& sErr) {
  sErr.clear();
  subWriteLog(ctx_, std::string("MSG : ") + v.killSubKeyName + ", path:" + sPath);
  Registry& r = ctx_.platform.registry;
  const std::uint32_t mask = reg::kKeyAllAccess | v.viewBits;
  try {
    if (IsHiveRoot(sPath)) {
      sErr = RefusalText(sPath);
      subWriteLog(ctx_, "ERR : " + sErr);
      return 0;
    }
    auto [root, subKey] = SplitKeyPath(sPath);

    // Deletes the opened key itself; a failed deletion is a failed operation.
    auto deleteOpened = [&](RegistryKey& key) -> std::int32_t {
      const long rc = r.DeleteKey(key.Handle(), "");
      if (rc != win32_error::kSuccess) {
        sErr = "Error while deleting the sub key " + sPath + ", " + fncFormatMessage(ctx_, rc);
        subWriteLog(ctx_, "ERR : " + sErr);
        return 0;
      }
      subWriteLog(ctx_, "MSG : Successfully deleted the key, " + sPath);
      return static_cast<std::int32_t>(key.Handle());
    };

    // A link key inside the tree is deleted itself; the key it points to is left alone.
    if (RegistryKey link(r); OpenIfLink(v, root, subKey, link)) return deleteOpened(link);

    if (!HaveSubkeyIn(v, sPath)) {
      RegistryKey key(r);
      const long rc = key.OpenEx(root, subKey, mask);
      if (rc != win32_error::kSuccess) {
        sErr = "Error while opening the sub key " + sPath + ", " + fncFormatMessage(ctx_, rc);
        subWriteLog(ctx_, "ERR : " + sErr);
        return 0;
      }
      return deleteOpened(key);
    }

    std::vector<std::string> keys;
    if (EnumKeysIn(v, sPath, keys) <= 0) throw SubscriptOutOfRange();
    for (const std::string& name : keys) {
      std::string ownErr;
      KillSubKeyIn(v, sPath + "\\" + name, ownErr);
    }
    RegistryKey key(r);
    const long rc = key.OpenEx(root, subKey, mask);
    if (rc == win32_error::kFileNotFound) {
      subWriteLog(ctx_, "ERR : Error while opening the sub key " + sPath + ", " +
                            fncFormatMessage(ctx_, rc));
      return 1;
    }
    if (rc != win32_error::kSuccess) {
      sErr = "Error while opening the sub key " + sPath + ", " + fncFormatMessage(ctx_, rc);
      subWriteLog(ctx_, "ERR : " + sErr);
      return 0;
    }
    return deleteOpened(key);
  } catch (...) {
    sErr = "Error while deleting the sub key " + sPath + ", " + DescriptionOfCurrentFailure();
    subWriteLog(ctx_, std::string("ERR : ") + v.killSubKeyName + ", " + sErr);
    return 0;
  }
}
