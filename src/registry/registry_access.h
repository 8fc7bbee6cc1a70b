#pragma once
// clsRegistryAccess: the program's general registry class. Every operation names a key by
// one path string (hive token or long name, then the key path), opens what it needs,
// closes every key it opened before it returns, and reports through its result, sErr and
// the log.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "platform/registry.h"

class RunContext;

// One entry of EnumValues' Values list: empty, a string or a 32-bit number.
using RegVariant = std::variant<std::monostate, std::string, std::int32_t>;

// Receives each key's path as the export reaches it.
class ExportOutput {
 public:
  virtual ~ExportOutput() = default;
  virtual void SetText(const std::string& path) = 0;
};

class clsRegistryAccess {
 public:
  explicit clsRegistryAccess(RunContext& ctx);

  bool CreateKeyIfDoesntExists() const { return createKeyIfDoesntExists_; }
  void CreateKeyIfDoesntExists(bool offon) { createKeyIfDoesntExists_ = offon; }

  // Reading.
  std::string ReadString(std::string sPath, std::string sName, std::string& sErr);
  std::string ReadString(std::string sPath, std::string sName);
  std::int32_t ReadDWORD(std::string sPath, std::string sName, std::int32_t lDefault = 0);
  std::string ReadBinary(std::string sPath, std::string sName, const std::string& sDefault = "");
  std::string ReadMultiStringValue(std::string& sPath, std::string sName, std::string& sErr);
  std::string ReadExpandableString(std::string sPath, std::string sName,
                                   const std::string& sDefault = "");
  bool ValueExists(std::string sPath, std::string sName);

  // Keys.
  std::int32_t CreateKey(std::string sPath, std::string& strErr);
  std::int32_t CreateKey64Bit(std::string sPath, std::string& sErr);
  bool KeyExists(std::string sPath);
  bool HaveSubkey(std::string sPath, std::string& sSubkeyname);
  bool HaveSubkey64Bit(std::string sPath, std::string& sSubkeyname);
  std::int32_t EnumKeys(std::string sPath, std::vector<std::string>& Key);
  std::int32_t EnumKeys64Bit(std::string sPath, std::vector<std::string>& Key);
  std::int32_t EnumKeysSoftware(std::string sPath, std::vector<std::string>& Key);
  std::int32_t KillKey(std::string sPath, const std::string& sRecursive, std::string& sErr);
  std::int32_t KillKey64bit(std::string sPath, const std::string& sRecursive, std::string& sErr);
  std::int32_t KillSubKey(std::string sPath, std::string& sErr);
  std::int32_t KillSubKey64Bit(std::string sPath, std::string& sErr);

  // Values.
  std::int32_t WriteString(std::string sPath, std::string sName, std::string sValue,
                           std::string& sErr);
  std::int32_t WriteStringTo64Bit(std::string sPath, std::string sName, std::string sValue,
                                  std::string& sErr);
  std::int32_t WriteMultiString(std::string sPath, std::string sName, std::string sValue,
                                std::string& sErr);
  std::int32_t WriteMulti64ToString(std::string sPath, std::string sName, std::string sValue,
                                    std::string& sErr);
  std::int32_t WriteDWORD(std::string sPath, std::string sName, std::int32_t lValue,
                          std::string& sErr);
  std::int32_t WriteDWORD64Bit(std::string sPath, std::string sName, std::int32_t lValue,
                               std::string& sErr);
  std::int32_t WriteBinary(std::string sPath, std::string sName, std::string sValue,
                           std::string& sErr);
  std::int32_t WriteBinary64bit(std::string sPath, std::string sName, std::string sValue,
                                std::string& sErr);
  std::int32_t KillValue(std::string sPath, std::string sName, std::string& sErr);
  std::int32_t KillValue64bit(std::string sPath, std::string sName, std::string& sErr);
  std::int32_t EnumValues(std::string sPath, std::vector<std::string>& Names,
                          std::vector<RegVariant>& Values, std::int32_t& OnlyType);

  // Export.
  std::int32_t ExportToReg(std::string sPath, std::string sRegFile, bool IncludeSubkeys = false,
                           ExportOutput* Output = nullptr);

  // Hex text.
  static std::string StrToBin(std::string& sBin);
  static std::string BinToStr(const std::string& sStr);
  static bool isBinValid(std::string sBin);

  // The path model: shortens long hive names in sPath (rewritten), gives root and subkey.
  static void ParseKeyPath(std::string& sPath, std::string& subKey, RegKey& rootKey);
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
  struct WriterTraits;

  // KeyExists in one view: 0 the default one, reg::kView64Bit the native one.
  bool KeyExistsIn(std::uint32_t viewBits, std::string sPath);
  bool HaveSubkeyIn(const KeyView& v, std::string sPath);
  std::int32_t EnumKeysIn(const KeyView& v, std::string sPath, std::vector<std::string>& Key);
  std::int32_t KillKeyIn(const KeyView& v, std::string sPath, const std::string& sRecursive,
                         std::string& sErr);
  std::int32_t KillSubKeyIn(const KeyView& v, std::string sPath, std::string& sErr);
  std::int32_t WriteValue(const WriterTraits& w, std::string sPath, std::string sName,
                          std::string sValue, std::int32_t lValue, std::string& sErr);
  std::int32_t KillValueIn(bool view64, std::string sPath, std::string sName, std::string& sErr);
  bool ExportKey(std::string sPath, const std::string& sRegFile, bool IncludeSubkeys,
                 ExportOutput* Output);

  RunContext& ctx_;
  RegKey RootKey = 0;
  RegKey KeyHandle = 0;
  std::string SubKey;
  bool createKeyIfDoesntExists_ = true;
};
