// delete: a key with its subtree, one value, the default value or every value of a key.
#include "qreg.h"

#include "registry/registry_access.h"
#include "run/run_context.h"

namespace qreg {
namespace {

const char kNotFound[] = "The system was unable to find the specified registry key or value.";

int DeleteValue(Tool& tool, const std::string& key, const std::string& name, bool view64) {
  std::string err;
  const std::int32_t done =
      view64 ? tool.reg.KillValue64bit(key, name, err) : tool.reg.KillValue(key, name, err);
  if (done == 0) return Fail(tool, err.empty() ? kNotFound : err);
  return 0;
}

}  // namespace

int Delete(Tool& tool, const Command& cmd) {
  const std::string& key = cmd.positional[0];
  const bool view64 = cmd.View64();
  const int chosen = (cmd.Has("/v") ? 1 : 0) + (cmd.Has("/ve") ? 1 : 0) + (cmd.Has("/va") ? 1 : 0);
  if (chosen > 1) return UsageError(tool, "delete", "Give only one of /v, /ve and /va.");
  if (cmd.Has("/v") && cmd.Value("/v").empty())
    return UsageError(tool, "delete", "/v needs a value name; use /ve for the default value.");
  const bool force = cmd.Has("/f");
  const std::string longKey = LongKeyName(key);

  if (cmd.Has("/v") || cmd.Has("/ve")) {
    const std::string name = cmd.Has("/v") ? cmd.Value("/v") : "";
    if (!Confirm(tool,
                 "Delete the value " + (name.empty() ? std::string("(Default)") : name) + " of " +
                     longKey + "?",
                 force))
      return 1;
    return DeleteValue(tool, key, name, view64);
  }

  if (cmd.Has("/va")) {
    bool opened = false;
    const std::vector<std::string> names = ValueNames(tool, key, &opened);
    if (!opened) return Fail(tool, kNotFound);
    if (!Confirm(tool, "Delete every value of " + longKey + "?", force)) return 1;
    int status = 0;
    for (const std::string& name : names)
      if (DeleteValue(tool, key, name, view64) != 0) status = 1;
    return status;
  }

  if (!Confirm(tool, "Permanently delete the key " + longKey + " and all its subkeys?", force))
    return 1;
  std::string err;
  const std::int32_t done =
      view64 ? tool.reg.KillKey64bit(key, "Y", err) : tool.reg.KillKey(key, "Y", err);
  if (done == 0) return Fail(tool, err.empty() ? kNotFound : err);
  return 0;
}

}  // namespace qreg
