// The class's REGEDIT4 export: a header, then one block per key, depth first. Every line is
// written so that an importer reads back the data it holds: strings escaped, strings with
// control characters as hex(1), binary values as their own bytes, numbers as eight digits.
#include "registry/registry_access.h"

#include <cstdio>
#include <memory>
#include <sstream>

#include "platform/files.h"
#include "run/log_writer.h"
#include "run/run_context.h"
#include "text/text_util.h"

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

// A name or text between quotes, with \ and " escaped.
std::string Quoted(const std::string& s) {
  std::string out = kQuote;
  for (char c : s) {
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

// The bytes behind BinToStr's text: each byte is followed by a 00 pair, and two more pairs
// close the text.
std::string BytesOfHexText(const std::string& hexText) {
  std::istringstream in(hexText);
  std::vector<std::string> pairs;
  for (std::string p; in >> p;) pairs.push_back(p);
  std::string bytes;
  for (std::size_t i = 0; i + 2 < pairs.size(); i += 2)
    bytes += static_cast<char>(std::stoul(pairs[i], nullptr, 16));
  return bytes;
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
    {
      std::unique_ptr<TextStream> out = files.CreateTextFile(sRegFile, false);
      out->WriteLine("REGEDIT4\r\n");
      out->Close();
    }
    return ExportKey(sPath, sRegFile, IncludeSubkeys, Output) ? 1 : 0;
  } catch (...) {
    return 0;  // the stream, if any, closed on the way out
  }
}

bool clsRegistryAccess::ExportKey(std::string sPath, const std::string& sRegFile,
                                  bool IncludeSubkeys, ExportOutput* Output) {
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
    std::vector<std::string> strings;
    std::vector<RegVariant> texts;
    std::int32_t type = reg::kSz;
    EnumValues(sPath, strings, texts, type);
    std::vector<std::string> binaries;
    std::vector<RegVariant> hexTexts;
    type = reg::kBinary;
    EnumValues(sPath, binaries, hexTexts, type);
    std::vector<std::string> dwords;
    std::vector<RegVariant> numbers;
    type = reg::kDword;
    EnumValues(sPath, dwords, numbers, type);
    // A value name with a line break would split its line; such a key is refused whole.
    for (const auto* names : {&strings, &binaries, &dwords})
      for (const std::string& name : *names)
        if (HasLineBreak(name)) {
          subWriteLog(ctx_, "ERR : ExportToReg, a value name of " + sPath +
                                " holds a line break and cannot be exported");
          return false;
        }

    std::unique_ptr<TextStream> out =
        ctx_.platform.files.OpenTextFile(sRegFile, IOMode::ForAppending, false);
    out->WriteLine("[" + sPath + "]");
    if (ReadString(sPath, "") != std::string(1, '\0')) {
      std::string err;
      std::string text = ReadString(sPath, "", err);
      // A default text longer than ReadString's buffer comes from the enumeration's copy.
      for (std::size_t i = 0; !err.empty() && i < strings.size(); ++i)
        if (strings[i].empty())
          if (const auto* t = std::get_if<std::string>(&texts[i])) text = *t;
      out->WriteLine("@=" + StringData(text));
    }
    for (std::size_t i = 0; i < strings.size(); ++i) {
      if (strings[i].empty()) continue;
      const auto* text = std::get_if<std::string>(&texts[i]);
      out->WriteLine(Quoted(strings[i]) + "=" + StringData(text ? *text : ""));
    }
    for (std::size_t i = 0; i < binaries.size(); ++i) {
      const auto* hex = std::get_if<std::string>(&hexTexts[i]);
      out->WriteLine(Quoted(binaries[i]) + "=hex:" + HexBytes(BytesOfHexText(hex ? *hex : "")));
    }
    for (std::size_t i = 0; i < dwords.size(); ++i) {
      const auto* number = std::get_if<std::int32_t>(&numbers[i]);
      out->WriteLine(Quoted(dwords[i]) + "=dword:" + DwordText(number ? *number : 0));
    }
    out->WriteLine("");
    // A block that never reached the disk is a failed export, not one to report as done.
    out->Close();
  } catch (...) {
    return false;  // the stream, if any, closed on the way out
  }

  if (IncludeSubkeys) {
    std::vector<std::string> keys;
    EnumKeys(sPath, keys);
    for (const std::string& name : keys)
      if (!ExportKey(sPath + "\\" + name, sRegFile, IncludeSubkeys, Output)) return false;
  }
  return true;
}
