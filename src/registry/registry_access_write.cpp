// The eight value writers: one procedure, and for each writer the traits that set it apart.
#include "registry/registry_access.h"

#include "platform/system.h"
#include "registry/registry_key.h"
#include "run/failure_description.h"
#include "run/log_writer.h"
#include "run/run_context.h"
#include "run/windows_calls.h"
#include "text/text_util.h"

enum class WriteData { Text, Dword, Binary };

struct ValueWriter {
  const char* procName;  // the guard line's "ERR : <procName>, "
  const char* entry;     // the entry line's beginning
  bool view64;           // the native view: CreateKey64Bit and 0x20106, not CreateKey and 0x20006
  bool atIsDefault;      // "@" names the default value
  std::uint32_t type;
  WriteData data;
  const char* openFail;  // nullptr: the DWORD writers' own text
  const char* setFail;
  const char* guardText;
};

namespace {
constexpr const char* kSzOpen = "Error while opening the REG_SZ key, ";
constexpr const char* kBinOpen = "Error while opening the REG_BINARY key, ";
constexpr const char* kBinSet = "Error while setting the value for REG_BINARY ";
constexpr const char* kBinGuard = "Error while setting the value for REG_BINARY, ";
constexpr const char* kMultiSet = "Error while setting the value for REG_MULTI_SZ ";
constexpr const char* kMultiGuard = "Error while setting the value for REG_MULTI_SZ, ";
// The DWORD writers' set failure has always said "string".
constexpr const char* kDwordStringSet = "Error while setting the value for string ";
constexpr const char* kDwordSet = "Error while setting the value for DWORD ";

// A writer's 64-bit-view twin: the same texts and data, another name, the native view.
constexpr ValueWriter In64BitView(ValueWriter plain, const char* procName,
                                  const char* entry = nullptr) {
  plain.procName = procName;
  if (entry) plain.entry = entry;
  plain.view64 = true;
  return plain;
}

// The two REG_SZ writers' set and guard texts are each other's: one has the comma, the
// other not.
constexpr ValueWriter kWriteString{.procName = "WriteString",
                                   .entry = "MSG : WriteString, path:",
                                   .view64 = false,
                                   .atIsDefault = true,
                                   .type = reg::kSz,
                                   .data = WriteData::Text,
                                   .openFail = kSzOpen,
                                   .setFail = "Error while setting the value for REG_SZ ",
                                   .guardText = "Error while setting the value for REG_SZ, "};
constexpr ValueWriter kWriteStringTo64Bit{.procName = "WriteStringTo64Bit",
                                          .entry = "MSG : WriteString, path:",
                                          .view64 = true,
                                          .atIsDefault = true,
                                          .type = reg::kSz,
                                          .data = WriteData::Text,
                                          .openFail = kSzOpen,
                                          .setFail = "Error while setting the value for REG_SZ, ",
                                          .guardText = "Error while setting the value for REG_SZ "};
constexpr ValueWriter kWriteMultiString{.procName = "WriteMultiString",
                                        .entry = "MSG : WriteMultiString, path:",
                                        .view64 = false,
                                        .atIsDefault = true,
                                        .type = reg::kMultiSz,
                                        .data = WriteData::Text,
                                        .openFail = kSzOpen,
                                        .setFail = kMultiSet,
                                        .guardText = kMultiGuard};
constexpr ValueWriter kWriteMulti64ToString =
    In64BitView(kWriteMultiString, "WriteMulti64ToString");
constexpr ValueWriter kWriteBinary{.procName = "WriteBinary",
                                   .entry = "MSG : WriteBinary, path:",
                                   .view64 = false,
                                   .atIsDefault = false,
                                   .type = reg::kBinary,
                                   .data = WriteData::Binary,
                                   .openFail = kBinOpen,
                                   .setFail = kBinSet,
                                   .guardText = kBinGuard};
constexpr ValueWriter kWriteBinary64bit =
    In64BitView(kWriteBinary, "WriteBinary64bit", "MSG : WriteBinary64bit, path:");
constexpr ValueWriter kWriteDWORD{.procName = "WriteDWORD",
                                  .entry = "MSG : WriteDWORD, path:",
                                  .view64 = false,
                                  .atIsDefault = false,
                                  .type = reg::kDword,
                                  .data = WriteData::Dword,
                                  .openFail = nullptr,
                                  .setFail = kDwordStringSet,
                                  .guardText = kDwordSet};
constexpr ValueWriter kWriteDWORD64Bit =
    In64BitView(kWriteDWORD, "WriteDWORD64Bit", "MSG : WriteDWORD64Bit, path:");

// Hex text that StrToBin would turn into other bytes than the caller wrote: characters
// that are not hex digits, or an odd number of digits.
bool HexTextCorrupts(const std::string& sValue) {
  const std::string digits = text::ReplaceAll(sValue, " ", "");
  if (digits.empty()) return false;  // an empty binary value
  return !clsRegistryAccess::isBinValid(sValue) || digits.size() % 2 != 0;
}
}  // namespace

std::int32_t clsRegistryAccess::WriteString(const std::string& sPath, const std::string& sName,
                                            const std::string& sValue, std::string& sErr) {
  return WriteValue(kWriteString, sPath, sName, sValue, 0, sErr);
}

std::int32_t clsRegistryAccess::WriteStringTo64Bit(const std::string& sPath,
                                                   const std::string& sName,
                                                   const std::string& sValue, std::string& sErr) {
  return WriteValue(kWriteStringTo64Bit, sPath, sName, sValue, 0, sErr);
}

std::int32_t clsRegistryAccess::WriteMultiString(const std::string& sPath, const std::string& sName,
                                                 const std::string& sValue, std::string& sErr) {
  return WriteValue(kWriteMultiString, sPath, sName, sValue, 0, sErr);
}

std::int32_t clsRegistryAccess::WriteMulti64ToString(const std::string& sPath,
                                                     const std::string& sName,
                                                     const std::string& sValue, std::string& sErr) {
  return WriteValue(kWriteMulti64ToString, sPath, sName, sValue, 0, sErr);
}

std::int32_t clsRegistryAccess::WriteBinary(const std::string& sPath, const std::string& sName,
                                            const std::string& sValue, std::string& sErr) {
  return WriteValue(kWriteBinary, sPath, sName, sValue, 0, sErr);
}

std::int32_t clsRegistryAccess::WriteBinary64bit(const std::string& sPath, const std::string& sName,
                                                 const std::string& sValue, std::string& sErr) {
  return WriteValue(kWriteBinary64bit, sPath, sName, sValue, 0, sErr);
}

// The DWORD writers log and report the number in decimal.
std::int32_t clsRegistryAccess::WriteDWORD(const std::string& sPath, const std::string& sName,
                                           std::int32_t lValue, std::string& sErr) {
  return WriteValue(kWriteDWORD, sPath, sName, "", lValue, sErr);
}

std::int32_t clsRegistryAccess::WriteDWORD64Bit(const std::string& sPath, const std::string& sName,
                                                std::int32_t lValue, std::string& sErr) {
  return WriteValue(kWriteDWORD64Bit, sPath, sName, "", lValue, sErr);
}

std::int32_t clsRegistryAccess::WriteValue(const ValueWriter& w, std::string sPath,
                                           const std::string& sName, std::string sValue,
                                           std::int32_t lValue, std::string& sErr) {
  const bool dword = w.data == WriteData::Dword;
  if (dword) sValue = std::to_string(lValue);
  sErr.clear();
  subWriteLog(ctx_, std::string(w.entry) + sPath + ", Name:" + sName + ", value:" + sValue);
  try {
    std::string subKey;
    RegKey root = 0;
    if (w.data == WriteData::Binary && HexTextCorrupts(sValue)) {
      ParseKeyPath(sPath, subKey, root);
      sErr = std::string(w.setFail) + sName + " with value " + sValue + " for registry key " +
             sPath + ", invalid hex data";
      subWriteLog(ctx_, "ERR : " + sErr);
      return 0;
    }
    // Under WOW64 the default view answers for the other view: ask the one written to.
    if (!KeyExistsIn(w.view64 ? reg::kView64Bit : 0, sPath)) {
      if (!CreateKeyIfDoesntExists()) {
        if (w.data == WriteData::Binary)
          subWriteLog(ctx_,
                      "ERR : " + fncFormatMessage(ctx_, static_cast<std::int32_t>(
                                                            ctx_.platform.system.GetLastError())));
        return 0;
      }
      std::string createErr;
      if (w.view64)
        CreateKey64Bit(sPath, createErr);
      else
        CreateKey(sPath, createErr);
    }
    ParseKeyPath(sPath, subKey, root);
    std::string valueName = sName;
    if (w.atIsDefault && valueName == "@") valueName.clear();

    Registry& r = ctx_.platform.registry;
    RegistryKey key(r);
    const std::uint32_t mask = reg::kKeyWrite | (w.view64 ? reg::kView64Bit : 0);
    const long openRc = key.OpenEx(root, subKey, mask);
    if (openRc != win32_error::kSuccess) {
      if (dword) {
        sErr = std::string(w.view64 ? "Error while setting the value for string "
                                    : "Error while opening the value for string ") +
               sName + " with value " + sValue + " for registry key " + sPath + ", " +
               fncFormatMessage(ctx_, openRc) + (w.view64 ? "" : ".");
        subWriteLog(ctx_, "ERR : " + sErr);
      } else {
        sErr = std::string(w.openFail) + sPath + ", " + fncFormatMessage(ctx_, openRc);
        subWriteLog(ctx_, "ERR :" + sErr);
      }
      return 0;
    }

    std::string bytes;
    if (dword) {
      const auto u = static_cast<std::uint32_t>(lValue);
      for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
    } else if (w.data == WriteData::Binary) {
      sValue = StrToBin(sValue);
      bytes = sValue;
    } else {
      bytes = sValue;
    }
    const long setRc = r.SetValueEx(key.Handle(), valueName, w.type,
                                    reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                    static_cast<std::uint32_t>(bytes.size()));
    if (setRc != win32_error::kSuccess) {
      sErr = std::string(w.setFail) + sName + " with value " + sValue + " for registry key " +
             sPath + ", " + fncFormatMessage(ctx_, setRc);
      subWriteLog(ctx_, "ERR : " + sErr);
      return 0;
    }
    subWriteLog(ctx_, "MSG : Successfully written the value.");
    return static_cast<std::int32_t>(key.Handle());
  } catch (...) {
    sErr = std::string(w.guardText) + sName + " with value " + sValue + " for registry key " +
           sPath + ", " + text::ReplaceAll(DescriptionOfCurrentFailure(), "\r\n", "");
    subWriteLog(ctx_, std::string("ERR : ") + w.procName + ", " + sErr);
    return 0;
  }
}
