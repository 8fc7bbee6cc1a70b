// The eight value writers: one procedure, and a table of what sets each writer apart.
#include <cstring>

#include "platform/runtime_error.h"
#include "platform/system.h"
#include "registry/key_guard.h"
#include "registry/registry_access.h"
#include "run/log_writer.h"
#include "run/run_context.h"
#include "run/windows_calls.h"
#include "text/text_util.h"

enum class WriteData { Text, Dword, Binary };

struct clsRegistryAccess::WriterTraits {
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

#define QENV_WRITER(fn, traits)                                                                \
  std::int32_t clsRegistryAccess::fn(std::string sPath, std::string sName, std::string sValue, \
                                     std::string& sErr) {                                      \
    static const WriterTraits w = traits;                                                      \
    return WriteValue(w, std::move(sPath), std::move(sName), std::move(sValue), 0, sErr);      \
  }
#define QENV_DWORD_WRITER(fn, traits)                                                           \
  std::int32_t clsRegistryAccess::fn(std::string sPath, std::string sName, std::int32_t lValue, \
                                     std::string& sErr) {                                       \
    static const WriterTraits w = traits;                                                       \
    return WriteValue(w, std::move(sPath), std::move(sName), "", lValue, sErr);                 \
  }

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

// Hex text that StrToBin would turn into other bytes than the caller wrote: characters
// that are not hex digits, or an odd number of digits.
bool HexTextCorrupts(const std::string& sValue) {
  const std::string digits = text::ReplaceAll(sValue, " ", "");
  if (digits.empty()) return false;  // an empty binary value
  return !clsRegistryAccess::isBinValid(sValue) || digits.size() % 2 != 0;
}
}  // namespace

// clang-format off
QENV_WRITER(WriteString, (WriterTraits{"WriteString", "MSG : WriteString, path:", false, true,
    reg::kSz, WriteData::Text, kSzOpen, "Error while setting the value for REG_SZ ",
    "Error while setting the value for REG_SZ, "}))
QENV_WRITER(WriteStringTo64Bit, (WriterTraits{"WriteStringTo64Bit", "MSG : WriteString, path:",
    true, true, reg::kSz, WriteData::Text, kSzOpen, "Error while setting the value for REG_SZ, ",
    "Error while setting the value for REG_SZ "}))
QENV_WRITER(WriteMultiString, (WriterTraits{"WriteMultiString", "MSG : WriteMultiString, path:",
    false, true, reg::kMultiSz, WriteData::Text, kSzOpen, kMultiSet, kMultiGuard}))
QENV_WRITER(WriteMulti64ToString, (WriterTraits{"WriteMulti64ToString",
    "MSG : WriteMultiString, path:", true, true, reg::kMultiSz, WriteData::Text, kSzOpen,
    kMultiSet, kMultiGuard}))
QENV_WRITER(WriteBinary, (WriterTraits{"WriteBinary", "MSG : WriteBinary, path:", false, false,
    reg::kBinary, WriteData::Binary, kBinOpen, kBinSet, kBinGuard}))
QENV_WRITER(WriteBinary64bit, (WriterTraits{"WriteBinary64bit", "MSG : WriteBinary64bit, path:",
    true, false, reg::kBinary, WriteData::Binary, kBinOpen, kBinSet, kBinGuard}))
QENV_DWORD_WRITER(WriteDWORD, (WriterTraits{"WriteDWORD", "MSG : WriteDWORD, path:", false,
    false, reg::kDword, WriteData::Dword, nullptr, kDwordStringSet, kDwordSet}))
QENV_DWORD_WRITER(WriteDWORD64Bit, (WriterTraits{"WriteDWORD64Bit",
    "MSG : WriteDWORD64Bit, path:", true, false, reg::kDword, WriteData::Dword, nullptr,
    kDwordStringSet, kDwordSet}))
// clang-format on
#undef QENV_WRITER
#undef QENV_DWORD_WRITER

std::int32_t clsRegistryAccess::WriteValue(const WriterTraits& w, std::string sPath,
                                           std::string sName, std::string sValue,
                                           std::int32_t lValue, std::string& sErr) {
  const bool dword = w.data == WriteData::Dword;
  if (dword) sValue = std::to_string(lValue);
  sErr.clear();
  subWriteLog(ctx_, std::string(w.entry) + sPath + ", Name:" + sName + ", value:" + sValue);
  try {
    if (w.data == WriteData::Binary && HexTextCorrupts(sValue)) {
      ParseKeyPath(sPath, SubKey, RootKey);
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
    ParseKeyPath(sPath, SubKey, RootKey);
    std::string valueName = sName;
    if (w.atIsDefault && valueName == "@") valueName.clear();

    Registry& r = ctx_.platform.registry;
    RegKey key = 0;
    const std::uint32_t mask = reg::kKeyWrite | (w.view64 ? reg::kView64Bit : 0);
    const long openRc = r.OpenKeyEx(RootKey, SubKey, mask, key);
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
    KeyGuard guard(r, key);
    KeyHandle = key;

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
    const long setRc =
        r.SetValueEx(key, valueName, w.type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                     static_cast<std::uint32_t>(bytes.size()));
    if (setRc != win32_error::kSuccess) {
      sErr = std::string(w.setFail) + sName + " with value " + sValue + " for registry key " +
             sPath + ", " + fncFormatMessage(ctx_, setRc);
      subWriteLog(ctx_, "ERR : " + sErr);
      return 0;
    }
    subWriteLog(ctx_, "MSG : Successfully written the value.");
    return static_cast<std::int32_t>(key);
  } catch (const RuntimeError& e) {
    sErr = std::string(w.guardText) + sName + " with value " + sValue + " for registry key " +
           sPath + ", " + text::ReplaceAll(e.Description(), "\r\n", "");
    subWriteLog(ctx_, std::string("ERR : ") + w.procName + ", " + sErr);
    return 0;
  }
}
