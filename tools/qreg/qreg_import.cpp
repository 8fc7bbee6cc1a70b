// import: a registry file into the registry, as reg import reads it. Only a regular file of
// at most 64 MiB is read. Values are stored as
// reg import stores them (strings with their closing NUL), through the registry service in
// the view asked for; [-KEY] deletes through the registry class, which refuses the keys
// the system cannot do without.
#include "qreg.h"

#include <filesystem>
#include <fstream>
#include <iostream>

#include "platform/files.h"
#include "reg_file.h"
#include "registry/registry_access.h"
#include "run/run_context.h"
#include "run/windows_calls.h"

namespace qreg {

namespace {
// Far above any real export, far below what would exhaust the memory of the machine.
constexpr std::uintmax_t kMaxFileSize = 64u << 20;

// The whole file, when it is a regular file of at most kMaxFileSize bytes; else false with
// the reason. Reading stops past the limit, so a file that grows meanwhile is refused too.
bool ReadRegFile(Tool& tool, const std::string& file, std::string& bytes, std::string& why) {
  std::error_code ec;
  const std::filesystem::file_status st = std::filesystem::status(file, ec);
  if (st.type() == std::filesystem::file_type::directory) {
    why = ": it is a folder.";
    return false;
  }
  if (!ec && st.type() != std::filesystem::file_type::regular) {
    why = ": it is not a regular file.";
    return false;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in || tool.ctx.platform.files.FolderExists(file)) {
    why = ".";
    return false;
  }
  std::string chunk(1 << 16, '\0');
  while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0) {
    bytes.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > kMaxFileSize) {
      why = ": it is larger than 64 MiB, more than any registry file holds.";
      return false;
    }
  }
  if (in.bad()) {
    why = ".";
    return false;
  }
  return true;
}
}  // namespace

int Import(Tool& tool, const Command& cmd) {
  const std::string& file = cmd.positional[0];
  std::string bytes;
  std::string why;
  if (!ReadRegFile(tool, file, bytes, why)) return Fail(tool, "Cannot read the file " + file + why);
  std::vector<RegEntry> entries;
  std::string error;
  if (!ParseRegFile(bytes, entries, error))
    return Fail(tool, "Cannot import " + file + ": " + error + ". Nothing was changed.");

  Registry& r = tool.ctx.platform.registry;
  RegKey current = 0;
  bool haveKey = false;
  int reported = 0;
  // What could not be done fails the import; a line that could not be read is, as for reg
  // import, skipped, and named in a warning.
  auto report = [&](int line, const std::string& what) {
    tool.err << "ERROR: " << file << ", line " << line << ": " << what << "\n";
    ++reported;
  };
  auto warn = [&](int line, const std::string& what) {
    tool.err << "WARNING: " << file << ", line " << line << ": " << what << "\n";
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
        warn(e.line, e.problem);
        break;
      case RegEntry::kBadKey:
        closeCurrent();
        warn(e.line, e.problem);
        break;
      case RegEntry::kKey: {
        closeCurrent();
        const std::size_t slash = e.key.find('\\');
        const RegKey root = HiveRoot(e.key.substr(0, slash));
        if (root == 0) {
          warn(e.line, "the key " + e.key + " has no known hive; its values are left out.");
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
          warn(e.line, "the key " + e.key + " has no known hive; the line is left out.");
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
