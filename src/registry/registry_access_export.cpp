// The class's REGEDIT4 export: a header, then one block per key, depth first. Every line is
// written so that an importer reads back the data it holds: strings escaped, strings with
// control characters as hex(1), binary values as their own bytes, numbers as eight digits.
#include "registry/registry_access.h"

#include <cstdio>
#include <memory>

#include "platform/files.h"
#include "registry/registry_key.h"
#include "run/log_writer.h"
#include "run/run_context.h"

namespace {
const std::string kQuote = "\"";

std::string DwordText(std::int32_t value) {
  char buffer[9];
  std::snprintf(buffer, sizeof buffer, "%08X", static_cast<unsigned>(value));
  return buffer;
}

bool HasLineBreak(const std::string& s) {
  return s.find_first_of("\r\n") != std::string::npos;
}

// Bytes as comma-separated pairs of upper-case digits ("01,0A,FF"; "" when empty).
std::string HexBytes(const std::string& bytes) {
  std::string out;
  char pair[4];
  for (unsigned char c : bytes) {
    std::snprintf(pair, sizeof pair, out.empty() ? "%02X" : ",%02X", c);
    out += pair;
  }
  return out;
}

// A name or text between quotes, with \ and " escaped, and CR and LF as \r and \n so that a
// name holding them stays on its line and reads back the same.
std::string Quoted(const std::string& s) {
  std::string out = kQuote;
  for (char c : s) {
    if (c == '\r' || c == '\n') {
      out += c == '\r' ? "\\r" : "\\n";
      continue;
    }
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + kQuote;
}

// A string's data: quoted, or, when it holds a byte below 0x20 that could break or start a
// line, its bytes and closing NUL as hex(1).
std::string StringData(const std::string& s) {
  for (unsigned char c : s)
    if (c < 0x20) return "hex(1):" + HexBytes(s + std::string(1, '\0'));
  return Quoted(s);
}

// A listed value's text: its bytes up to the first NUL, as the reads cut it.
std::string TextOf(const clsRegistryAccess::ListedValue& v) {
  return v.data.substr(0, v.data.find('\0'));
}

// A listed value's number from its little-endian bytes.
std::uint32_t NumberOf(const clsRegistryAccess::ListedValue& v) {
  std::uint32_t n = 0;
  for (std::size_t i = v.data.size() < 4 ? v.data.size() : 4; i-- > 0;)
    n = (n << 8) | static_cast<unsigned char>(v.data[i]);
  return n;
}
}  // namespace

std::int32_t clsRegistryAccess::ExportToReg(const std::string& sPath, const std::string& sRegFile,
                                            bool IncludeSubkeys, ExportOutput* Output) {
  Files& files = ctx_.platform.files;
  try {
    if (files.FileExists(sRegFile) || files.FolderExists(sRegFile)) return 0;
    // A key name with a line break cannot stand in a "[...]" line; refused before any file.
    if (HasLineBreak(sPath)) {
      subWriteLog(ctx_,
                  "ERR : ExportToReg, a key name holds a line break and cannot be "
                  "exported: " +
                      sPath);
      return 0;
    }
    // Made once, exclusively (a link or file at the name is never opened), and every block
    // goes through this one handle: a name swapped for a link later cannot take the export.
    std::unique_ptr<TextStream> out = files.CreateTextFile(sRegFile, false);
    out->WriteLine("REGEDIT4\r\n");
    if (!ExportKey(sPath, *out, IncludeSubkeys, Output)) return 0;
    // A file that never reached the disk whole is a failed export, not one to report as done.
    out->Close();
    return 1;
  } catch (...) {
    return 0;  // the stream, if any, closed on the way out
  }
}

bool clsRegistryAccess::ExportKey(std::string sPath, TextStream& out, bool IncludeSubkeys,
                                  ExportOutput* Output) {
  sPath = ExpandHiveNames(sPath);
  if (HasLineBreak(sPath)) {
    subWriteLog(ctx_,
                "ERR : ExportToReg, a key name holds a line break and cannot be "
                "exported: " +
                    sPath);
    return false;
  }
  try {
    if (Output) Output->SetText(sPath);
    out.WriteLine("[" + sPath + "]");
    // A link key is written as an empty key: its target's values and subkeys are another
    // key's, exported, if at all, where they are.
    std::string linkPath = sPath;
    auto [root, subKey] = SplitKeyPath(linkPath);
    if (RegistryKey link(ctx_.platform.registry); OpenIfLink(kPlainView, root, subKey, link)) {
      out.WriteLine("@=\"\"");
      out.WriteLine("");
      return true;
    }
    const bool writeDefault = ReadString(sPath, "") != std::string(1, '\0');
    std::string err;
    std::string defaultText = ReadString(sPath, "", err);

    // Each value is written under its name exactly as stored, with the data the enumeration
    // gave: EnumValues' names are trimmed, and a read by a trimmed name finds another value.
    std::vector<std::string> names;
    std::vector<RegVariant> values;
    std::vector<ListedValue> listed;
    EnumValuesIn(sPath, names, values, reg::kSz, &listed);
    // A default text longer than ReadString's buffer comes from the enumeration's copy.
    for (const ListedValue& v : listed)
      if (!err.empty() && v.name.empty()) defaultText = TextOf(v);
    if (writeDefault) out.WriteLine("@=" + StringData(defaultText));
    for (const ListedValue& v : listed)
      if (!v.name.empty()) out.WriteLine(Quoted(v.name) + "=" + StringData(TextOf(v)));

    EnumValuesIn(sPath, names, values, reg::kBinary, &listed);
    for (const ListedValue& v : listed) out.WriteLine(Quoted(v.name) + "=hex:" + HexBytes(v.data));

    EnumValuesIn(sPath, names, values, reg::kDword, &listed);
    for (const ListedValue& v : listed)
      out.WriteLine(Quoted(v.name) + "=dword:" + DwordText(static_cast<std::int32_t>(NumberOf(v))));
    out.WriteLine("");
  } catch (...) {
    return false;  // the caller's stream closes on its way out
  }

  if (IncludeSubkeys) {
    std::vector<std::string> keys;
    EnumKeys(sPath, keys);
    for (const std::string& name : keys)
      if (!ExportKey(sPath + "\\" + name, out, IncludeSubkeys, Output)) return false;
  }
  return true;
}
