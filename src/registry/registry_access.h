#pragma once
// clsRegistryAccess: the program's general registry class. Every operation names a key by
// one path string (hive token or long name, then the key path), opens what it needs into
// RegistryKey objects of its own, closes every key it opened before it returns, and reports
// through its result, sErr and the log. The class keeps no key or path between operations.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "platform/registry.h"

class RunContext;
class TextStream;
class RegistryKey;

// One entry of EnumValues' Values list: empty, a string or a 32-bit number.
using RegVariant = std::variant<std::monostate, std::string, std::int32_t>;

// Receives each key's path as the export reaches it.
class ExportOutput {
 public:
  virtual ~ExportOutput() = default;
  virtual void SetText(const std::string& path) = 0;
};

// What sets one of the eight value writers apart (registry_access_write.cpp).
struct ValueWriter;

// Arguments that an operation rewrites are taken by value: its own copy of sPath holds the
// path with the hive shortened once parsed, and its messages show that form. The rest are
// read only and taken by const&, unless the comment says the caller's variable is rewritten.
class clsRegistryAccess {
 public:
  explicit clsRegistryAccess(RunContext& ctx);

  bool CreateKeyIfDoesntExists() const { return createKeyIfDoesntExists_; }
  void CreateKeyIfDoesntExists(bool offon) { createKeyIfDoesntExists_ = offon; }

  // Reading.
  std::string ReadString(std::string sPath, const std::string& sName, std::string& sErr);
  std::string ReadString(const std::string& sPath, const std::string& sName);
  std::int32_t ReadDWORD(std::string sPath, const std::string& sName, std::int32_t lDefault = 0);
  std::string ReadBinary(std::string sPath, const std::string& sName,
                         const std::string& sDefault = "");
  // sPath is the caller's own variable: it is left with the hive shortened.
  std::string ReadMultiStringValue(std::string& sPath, const std::string& sName, std::string& sErr);
  std::string ReadExpandableString(std::string sPath, const std::string& sName,
                                   const std::string& sDefault = "");
  bool ValueExists(std::string sPath, const std::string& sName);

  // Keys.
  std::int32_t CreateKey(std::string sPath, std::string& strErr);
  std::int32_t CreateKey64Bit(std::string sPath, std::string& sErr);
  bool KeyExists(const std::string& sPath);
  // sSubkeyname is accepted and left as it is.
  bool HaveSubkey(const std::string& sPath, const std::string& sSubkeyname);
  bool HaveSubkey64Bit(const std::string& sPath, const std::string& sSubkeyname);
  std::int32_t EnumKeys(const std::string& sPath, std::vector<std::string>& Key);
  std::int32_t EnumKeys64Bit(const std::string& sPath, std::vector<std::string>& Key);
  std::int32_t EnumKeysSoftware(std::string sPath, std::vector<std::string>& Key);
  std::int32_t KillKey(const std::string& sPath, const std::string& sRecursive, std::string& sErr);
  std::int32_t KillKey64bit(const std::string& sPath, const std::string& sRecursive,
                            std::string& sErr);
  std::int32_t KillSubKey(const std::string& sPath, std::string& sErr);
  std::int32_t KillSubKey64Bit(const std::string& sPath, std::string& sErr);

  // Values.
  std::int32_t WriteString(const std::string& sPath, const std::string& sName,
                           const std::string& sValue, std::string& sErr);
  std::int32_t WriteStringTo64Bit(const std::string& sPath, const std::string& sName,
                                  const std::string& sValue, std::string& sErr);
  std::int32_t WriteMultiString(const std::string& sPath, const std::string& sName,
                                const std::string& sValue, std::string& sErr);
  std::int32_t WriteMulti64ToString(const std::string& sPath, const std::string& sName,
                                    const std::string& sValue, std::string& sErr);
  std::int32_t WriteDWORD(const std::string& sPath, const std::string& sName, std::int32_t lValue,
                          std::string& sErr);
  std::int32_t WriteDWORD64Bit(const std::string& sPath, const std::string& sName,
                               std::int32_t lValue, std::string& sErr);
  std::int32_t WriteBinary(const std::string& sPath, const std::string& sName,
                           const std::string& sValue, std::string& sErr);
  std::int32_t WriteBinary64bit(const std::string& sPath, const std::string& sName,
                                const std::string& sValue, std::string& sErr);
  std::int32_t KillValue(const std::string& sPath, const std::string& sName, std::string& sErr);
  std::int32_t KillValue64bit(const std::string& sPath, const std::string& sName,
                              std::string& sErr);
  std::int32_t EnumValues(std::string sPath, std::vector<std::string>& Names,
                          std::vector<RegVariant>& Values, const std::int32_t& OnlyType);
  // One value as the enumeration gives it: the name exactly as stored, the raw data.
  struct ListedValue {
    std::string name;
    std::uint32_t type = 0;
    std::string data;
  };

  // Export.
  std::int32_t ExportToReg(const std::string& sPath, const std::string& sRegFile,
                           bool IncludeSubkeys = false, ExportOutput* Output = nullptr);

  // Hex text.
  // sBin is the caller's own variable: it is left without its spaces.
  static std::string StrToBin(std::string& sBin);
  static std::string BinToStr(const std::string& sStr);
  static bool isBinValid(std::string sBin);

  // The path model: shortens long hive names in sPath (the caller's variable is rewritten),
  // gives root and subkey.
  static void ParseKeyPath(std::string& sPath, std::string& subKey, RegKey& rootKey);
  // The same split as one value, for `auto [root, subKey] = SplitKeyPath(sPath);`.
  struct KeyPath {
    RegKey root = 0;
    std::string subKey;
  };
  static KeyPath SplitKeyPath(std::string& sPath);
  // The export's inverse: every hive token in the path replaced by its long name.
  static std::string ExpandHiveNames(std::string sPath);

 private:
  // ReadString and ReadMultiStringValue past their log line: parse, open, query, cut.
  std::string ReadTextValue(std::string& sPath, const std::string& sName, std::uint32_t type,
                            const std::string& guardText, std::string& sErr);

  // What tells the plain and the 64-bit-view forms of one key operation apart.
  struct KeyView {
    const char* haveSubkeyName;  // "HaveSubkey" / "HaveSubkey64Bit"
    const char* enumKeysName;    // "EnumKeys" / "EnumKeys64Bit"
    const char* killKeyName;     // "KillKey" / "KillKey64bit"
    const char* killSubKeyName;  // "KillSubKey" / "KillSubKey64Bit"
    std::uint32_t viewBits;      // 0 or reg::kView64Bit
  };
  static const KeyView kPlainView;
  static const KeyView k64BitView;

  // KeyExists in one view: 0 the default one, reg::kView64Bit the native one.
  bool KeyExistsIn(std::uint32_t viewBits, std::string sPath);
  bool HaveSubkeyIn(const KeyView& v, std::string sPath);
  std::int32_t EnumKeysIn(const KeyView& v, std::string sPath, std::vector<std::string>& Key);
  std::int32_t KillKeyIn(const KeyView& v, std::string sPath, const std::string& sRecursive,
                         std::string& sErr);
  std::int32_t KillSubKeyIn(const KeyView& v, std::string sPath, std::string& sErr);
  // True, with the link itself open in key, when the key is a link key.
  bool OpenIfLink(const KeyView& v, RegKey root, const std::string& subKey, RegistryKey& key);
  std::int32_t WriteValue(const ValueWriter& w, std::string sPath, const std::string& sName,
                          std::string sValue, std::int32_t lValue, std::string& sErr);
  std::int32_t KillValueIn(bool view64, std::string sPath, const std::string& sName,
                           std::string& sErr);
  // EnumValues, also handing back each listed value as enumerated (raw may be null).
  std::int32_t EnumValuesIn(std::string sPath, std::vector<std::string>& Names,
                            std::vector<RegVariant>& Values, std::int32_t OnlyType,
                            std::vector<ListedValue>* raw);
  bool ExportKey(std::string sPath, TextStream& out, bool IncludeSubkeys, ExportOutput* Output);

  RunContext& ctx_;
  bool createKeyIfDoesntExists_ = true;
};
