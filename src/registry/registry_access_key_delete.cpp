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
// Keys under HKLM whose loss makes the system unusable, in upper case.
constexpr std::array<std::string_view, 6> kProtected{
    "SOFTWARE", "SOFTWARE\\MICROSOFT", "HARDWARE", "SAM", "SECURITY", "SYSTEM"};

// True when the path names HKLM itself or one of the protected keys, however it is spelled:
// short or long hive name, any case, surrounding spaces, repeated or trailing backslashes.
// The path is resolved as every operation resolves it, so anything that would reach one of
// these keys is caught.
bool IsProtectedKey(const std::string& sPath) {
  std::string path = text::Trim(sPath);
  std::string subKey;
  RegKey root = 0;
  clsRegistryAccess::ParseKeyPath(path, subKey, root);
  if (root != reg::kLocalMachine) return false;
  std::string normal;
  std::size_t pos = 0;
  while (pos <= subKey.size()) {
    std::size_t end = subKey.find('\\', pos);
    if (end == std::string::npos) end = subKey.size();
    const std::string part = text::Trim(subKey.substr(pos, end - pos));
    if (!part.empty()) normal += (normal.empty() ? "" : "\\") + text::UpperAscii(part);
    pos = end + 1;
  }
  if (normal.empty()) return true;  // the hive itself holds all of them
  for (std::string_view p : kProtected)
    if (normal == p) return true;
  return false;
}

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
      sErr =
          sPath + " cannot be deleted, as deleting it might cause the OS to repair or re-install. ";
      subWriteLog(ctx_, "ERR : " + sErr);
      return 0;
    }
    {
      // Only the path's rewrite matters here: the checks below see the hive shortened.
      auto [root, subKey] = SplitKeyPath(sPath);
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
