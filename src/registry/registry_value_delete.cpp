// Deleting one value.
#include "platform/runtime_error.h"
#include "registry/key_guard.h"
#include "registry/registry_access.h"
#include "run/log_writer.h"
#include "run/run_context.h"
#include "run/windows_calls.h"
#include "text/text_util.h"

std::int32_t clsRegistryAccess::KillValue(std::string sPath, std::string sName, std::string& sErr) {
  return KillValueIn(false, std::move(sPath), std::move(sName), sErr);
}

std::int32_t clsRegistryAccess::KillValue64bit(std::string sPath, std::string sName,
                                               std::string& sErr) {
  return KillValueIn(true, std::move(sPath), std::move(sName), sErr);
}

std::int32_t clsRegistryAccess::KillValueIn(bool view64, std::string sPath, std::string sName,
                                            std::string& sErr) {
  const char* name = view64 ? "KillValue64bit" : "KillValue";
  sErr.clear();
  subWriteLog(ctx_, std::string("MSG : ") + name + ", path:" + sPath + ", Value:" + sName);
  try {
    ParseKeyPath(sPath, SubKey, RootKey);
    Registry& r = ctx_.platform.registry;
    RegKey key = 0;
    const std::uint32_t mask = reg::kKeyAllAccess | (view64 ? reg::kView64Bit : 0);
    const long openRc = r.OpenKeyEx(RootKey, SubKey, mask, key);
    if (openRc == win32_error::kFileNotFound && !view64) {
      subWriteLog(ctx_,
                  "ERR : while opening the key " + sPath + ", " + fncFormatMessage(ctx_, openRc));
      return 0;
    }
    if (openRc != win32_error::kSuccess) {
      sErr = "Error while opening the key " + sPath + ", " + fncFormatMessage(ctx_, openRc);
      subWriteLog(ctx_, "ERR : " + sErr);
      return 0;
    }
    KeyGuard guard(r, key);
    KeyHandle = key;
    const long rc = r.DeleteValue(key, sName);
    if (rc != win32_error::kSuccess) {
      // A value that is still there is a failed operation, whatever the key's handle.
      sErr = "Error while deleteing the value " + sName + " for registry key " + sPath + ", " +
             text::ReplaceAll(fncFormatMessage(ctx_, rc), "\r\n", "");
      subWriteLog(ctx_, "ERR : " + sErr);
      return 0;
    }
    subWriteLog(ctx_, "MSG : Successfully deleted the value.");
    return static_cast<std::int32_t>(key);
  } catch (const RuntimeError& e) {
    sErr = "Error while deleteing the value " + sName + " for registry key " + sPath + ", " +
           text::ReplaceAll(e.Description(), "\r\n", "");
    subWriteLog(ctx_, std::string("ERR : ") + name + ", " + sErr);
    return 0;
  }
}
