// import: a registry file into the registry, as reg import reads it. Values are stored as
// reg import stores them (strings with their closing NUL), through the registry service in
// the view asked for; [-KEY] deletes through the registry class, which refuses the keys
// the system cannot do without.
#include "qreg.h"

#include <fstream>
#include <iostream>
#include <sstream>

#include "platform/files.h"
#include "reg_file.h"
#include "registry/registry_access.h"
#include "run/run_context.h"
#include "run/windows_calls.h"

namespace qreg {

int Import(Tool& tool, const Command& cmd) {
  const std::string& file = cmd.positional[0];
  if (tool.ctx.platform.files.FolderExists(file))
    return Fail(tool, "Cannot read the file " + file + ": it is a folder.");
  std::string bytes;
  {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    if (in) s << in.rdbuf();
    if (!in || in.bad()) return Fail(tool, "Cannot read the file " + file + ".");
    bytes = s.str();
  }
  std::vector<RegEntry> entries;
  std::string error;
  if (!ParseRegFile(bytes, entries, error))
    return Fail(tool, "Cannot import " + file + ": " + error + ". Nothing was changed.");

  Registry& r = tool.ctx.platform.registry;
  RegKey current = 0;
  bool haveKey = false;
  int reported = 0;
  auto report = [&](int line, const std::string& what) {
    tool.err << "ERROR: " << file << ", line " << line << ": " << what << "\n";
    ++reported;
  };
  auto closeCurrent = [&] {
    if (current != 0) r.CloseKey(current);
    current = 0;
    haveKey = false;
  };
  auto message = [&](long rc) { return fncFormatMessage(tool.ctx, static_cast<std::int32_t>(rc)); };

  for (const RegEntry& e : entries) {
    switch (e.kind) {
      case RegEntry::kProblem:
        report(e.line, e.problem);
        break;
      case RegEntry::kKey: {
        closeCurrent();
        const std::size_t slash = e.key.find('\\');
        const RegKey root = HiveRoot(e.key.substr(0, slash));
        if (root == 0) {
          report(e.line, "the key " + e.key + " has no known hive; its values are left out.");
          break;
        }
        const long rc =
            r.CreateKeyEx(root, slash == std::string::npos ? "" : e.key.substr(slash + 1), "", 0,
                          reg::kKeyAllAccess, current, nullptr);
        if (rc != win32_error::kSuccess) {
          current = 0;
          report(e.line, "the key " + e.key + " cannot be created: " + message(rc) +
                             "; its values are left out.");
          break;
        }
        haveKey = true;
        break;
      }
      case RegEntry::kDeleteKey: {
        closeCurrent();
        if (HiveRoot(e.key.substr(0, e.key.find('\\'))) == 0) {
          report(e.line, "the key " + e.key + " has no known hive.");
          break;
        }
        // The class refuses a protected key whether or not it is there; any other key that
        // is not there is, as for reg import, nothing to delete.
        std::string err;
        if (tool.reg.KillKey(e.key, "Y", err) != 0) break;
        const bool refused = err.find("cannot be deleted, as deleting it") != std::string::npos;
        if (refused || tool.reg.KeyExists(e.key))
          report(e.line, err.empty() ? "the key " + e.key + " cannot be deleted." : err);
        break;
      }
      case RegEntry::kValue: {
        if (!haveKey) break;
        const long rc = r.SetValueEx(current, e.name, e.type,
                                     reinterpret_cast<const std::uint8_t*>(e.data.data()),
                                     static_cast<std::uint32_t>(e.data.size()));
        if (rc != win32_error::kSuccess)
          report(e.line, "the value " + (e.name.empty() ? std::string("(Default)") : e.name) +
                             " cannot be written: " + message(rc));
        break;
      }
      case RegEntry::kDeleteValue: {
        if (!haveKey) break;
        const long rc = r.DeleteValue(current, e.name);
        if (rc != win32_error::kSuccess && rc != win32_error::kFileNotFound)
          report(e.line, "the value " + (e.name.empty() ? std::string("(Default)") : e.name) +
                             " cannot be deleted: " + message(rc));
        break;
      }
    }
  }
  closeCurrent();
  return reported == 0 ? 0 : 1;
}

}  // namespace qreg
