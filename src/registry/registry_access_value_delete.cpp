// Deleting one value.
#include "registry/registry_access.h"

#include "registry/registry_key.h"
#include "run/failure_description.h"
#include "run/log_writer.h"
#include "run/run_context.h"
#include "run/windows_calls.h"
#include "text/text_util.h"

std::int32_t clsRegistryAccess::KillValue(const std::string& sPath, const std::string& sName,
                                          std::string& sErr) {
  return KillValueIn(false, sPath, sName, sErr);
}

std::int32_t clsRegistryAccess::KillValue64bit(const std::string& sPath, const std::string& sName,
                                               std::string& sErr) {
  return KillValueIn(true, sPath, sName, sErr);
}

std::int32_t clsRegistryAccess::KillValueIn(bool view64, std::string sPath,
                                            const std::string& sName, std::string& sErr) {
  const char* name = view64 ? "KillValue64bit" : "KillValue";
  sErr.clear();
  subWriteLog(ctx_, std::string("MSG : ") + name + ", path:" + sPath + ", Value:" + sName);
  try {
    auto [root, subKey] = SplitKeyPath(sPath);
    Registry& r = ctx_.platform.registry;
    RegistryKey key(r);
    const std::uint32_t mask = reg::kKeyAllAccess | (view64 ? reg::kView64Bit : 0);
    const long openRc = key.OpenEx(root, subKey, mask);
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
    const long rc = r.DeleteValue(key.Handle(), sName);
    if (rc != win32_error::kSuccess) {
      // A value that is still there is a failed operation, whatever the key's handle.
      sErr = "Error while deleteing the value " + sName + " for registry key " + sPath + ", " +
             text::ReplaceAll(fncFormatMessage(ctx_, rc), "\r\n", "");
      subWriteLog(ctx_, "ERR : " + sErr);
      return 0;
    }
    subWriteLog(ctx_, "MSG : Successfully deleted the value.");
    return static_cast<std::int32_t>(key.Handle());
  } catch (...) {
    sErr = "Error while deleteing the value " + sName + " for registry key " + sPath + ", " +
           text::ReplaceAll(DescriptionOfCurrentFailure(), "\r\n", "");
    subWriteLog(ctx_, std::string("ERR : ") + name + ", " + sErr);
    return 0;
  }
}
