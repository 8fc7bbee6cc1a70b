// export: the class's REGEDIT4 export of a key and its subtree. The file is written beside
// the target and moved over it only once complete, so a failed export loses nothing.
#include "qreg.h"

#include "platform/files.h"
#include "registry/registry_access.h"
#include "run/failure_description.h"
#include "run/run_context.h"

namespace qreg {

int Export(Tool& tool, const Command& cmd) {
  const std::string& key = cmd.positional[0];
  const std::string& file = cmd.positional[1];
  Files& files = tool.ctx.platform.files;
  if (file.empty()) return UsageError(tool, "export", "FILE is empty.");
  // As reg: HKEY_DYN_DATA is a hive of Windows 9x, gone from every system since.
  if (HiveRoot(key.substr(0, key.find('\\'))) == reg::kDynData)
    return UsageError(tool, "export",
                      "Invalid key name \"" + key + "\": HKEY_DYN_DATA no longer exists.");
  if (files.FolderExists(file)) return Fail(tool, file + " is a folder.");

  std::vector<std::string> probe;
  if (tool.reg.EnumKeys(key, probe) < 0)
    return Fail(tool, "The key " + LongKeyName(key) + " does not exist.");
  if (files.FileExists(file) &&
      !Confirm(tool, "The file " + file + " exists; overwrite it?", cmd.Has("/y")))
    return 1;

  const std::string partial = file + ".partial";
  try {
    if (files.FileExists(partial)) files.DeleteFile(partial);
  } catch (...) {
    return Fail(tool, "Cannot remove " + partial + ": " + DescriptionOfCurrentFailure());
  }
  if (tool.reg.ExportToReg(key, partial, true) == 0) {
    try {
      if (files.FileExists(partial)) files.DeleteFile(partial);
    } catch (...) {
      // The export's failure is what the user is told; a leftover partial file is harmless.
    }
    return Fail(tool, "The export of " + LongKeyName(key) + " to " + file + " failed.");
  }
  try {
    files.MoveReplace(partial, file);
  } catch (...) {
    return Fail(tool, "Cannot write " + file + ": " + DescriptionOfCurrentFailure());
  }
  return 0;
}

}  // namespace qreg
