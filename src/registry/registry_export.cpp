// The class's REGEDIT4 export: a header, then one block per key, depth first.
#include <cstdio>
#include <memory>

#include "main/run_context.h"
#include "platform/files.h"
#include "registry/registry_access.h"
#include "text/text_util.h"

namespace {
const std::string kQuote = "\"";

std::string DwordText(std::int32_t value) {
  char buffer[9];
  std::snprintf(buffer, sizeof buffer, "%08X", static_cast<unsigned>(value));
  return buffer;
}
}  // namespace

std::int32_t clsRegistryAccess::ExportToReg(std::string sPath, std::string sRegFile,
                                            bool IncludeSubkeys, ExportOutput* Output) {
  Files& files = ctx_.platform.files;
  try {
    if (files.FileExists(sRegFile) || files.FolderExists(sRegFile)) return 0;
    {
      std::unique_ptr<TextStream> out = files.CreateTextFile(sRegFile, false);
      out->WriteLine("REGEDIT4\r\n");
      out->Close();
    }
    return ExportKey(sPath, sRegFile, IncludeSubkeys, Output) ? 1 : 0;
  } catch (const RuntimeError&) {
    return 0;  // the stream, if any, closed on the way out
  }
}

bool clsRegistryAccess::ExportKey(std::string sPath, const std::string& sRegFile,
                                  bool IncludeSubkeys, ExportOutput* Output) {
  sPath = ExpandHiveNames(sPath);
  try {
    if (Output) Output->SetText(sPath);
    std::unique_ptr<TextStream> out =
        ctx_.platform.files.OpenTextFile(sRegFile, IOMode::ForAppending, false);
    out->WriteLine("[" + sPath + "]");
    if (ReadString(sPath, "") != std::string(1, '\0'))
      out->WriteLine("@=" + kQuote + ReadString(sPath, "") + kQuote);

    std::vector<std::string> names;
    std::vector<RegVariant> values;
    std::int32_t type = reg::kSz;
    EnumValues(sPath, names, values, type);
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (names[i].empty()) continue;
      const auto* text = std::get_if<std::string>(&values[i]);
      out->WriteLine(kQuote + names[i] + kQuote + "=" + kQuote + (text ? *text : "") + kQuote);
    }
    type = reg::kBinary;
    EnumValues(sPath, names, values, type);
    for (std::size_t i = 0; i < names.size(); ++i) {
      const auto* hex = std::get_if<std::string>(&values[i]);
      out->WriteLine(kQuote + names[i] + kQuote +
                     "=hex:" + text::ReplaceAll(text::Trim(hex ? *hex : ""), " ", ","));
    }
    type = reg::kDword;
    EnumValues(sPath, names, values, type);
    for (std::size_t i = 0; i < names.size(); ++i) {
      const auto* number = std::get_if<std::int32_t>(&values[i]);
      out->WriteLine(kQuote + names[i] + kQuote + "=dword:0x" + DwordText(number ? *number : 0));
    }
    out->WriteLine("");
    // A block that never reached the disk is a failed export, not one to report as done.
    out->Close();
  } catch (const RuntimeError&) {
    return false;
  }

  if (IncludeSubkeys) {
    std::vector<std::string> keys;
    EnumKeys(sPath, keys);
    for (const std::string& name : keys)
      if (!ExportKey(sPath + "\\" + name, sRegFile, IncludeSubkeys, Output)) return false;
  }
  return true;
}
