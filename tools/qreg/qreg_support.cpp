// Key names, confirmation and type names shared by the verbs.
#include "qreg.h"

#include <array>
#include <iostream>

#include "platform/hive_names.h"
#include "platform/process.h"
#include "registry/registry_access.h"
#include "registry/registry_key.h"
#include "run/run_context.h"
#include "text/text_util.h"

namespace qreg {
namespace {

struct TypeEntry {
  std::uint32_t type;
  std::string_view name;
};
constexpr std::array<TypeEntry, 12> kTypes{{{0, "REG_NONE"},
                                            {1, "REG_SZ"},
                                            {2, "REG_EXPAND_SZ"},
                                            {3, "REG_BINARY"},
                                            {4, "REG_DWORD"},
                                            {5, "REG_DWORD_BIG_ENDIAN"},
                                            {6, "REG_LINK"},
                                            {7, "REG_MULTI_SZ"},
                                            {8, "REG_RESOURCE_LIST"},
                                            {9, "REG_FULL_RESOURCE_DESCRIPTOR"},
                                            {11, "REG_QWORD"},
                                            {4, "REG_DWORD_LITTLE_ENDIAN"}}};

}  // namespace

bool CheckKey(const std::string& key, std::string& tidy, std::string& error) {
  // As reg: nothing but backslashes after the hive's own backslash names no key.
  const std::size_t first = key.find('\\');
  if (first != std::string::npos && key.find_first_not_of('\\', first) == std::string::npos) {
    error =
        "Invalid key name \"" + key + "\": a backslash after the hive must be followed by a key.";
    return false;
  }
  std::string k = key;
  while (!k.empty() && k.back() == '\\') k.pop_back();
  const std::size_t slash = k.find('\\');
  if (!FindHiveName(k.substr(0, slash))) {
    error = "Invalid key name \"" + key +
            "\": the hive must be one of HKLM, HKCU, HKCR, HKUS, "
            "HKCC, HKPD, HKDD or a long hive name.";
    return false;
  }
  if (slash != std::string::npos && k.find("\\\\") != std::string::npos) {
    error = "Invalid key name \"" + key + "\": empty key name between backslashes.";
    return false;
  }
  tidy = k;
  return true;
}

std::string LongKeyName(const std::string& key) {
  const std::size_t slash = key.find('\\');
  const HiveName* hive = FindHiveName(key.substr(0, slash));
  const std::string head = hive ? std::string(hive->longName) : key.substr(0, slash);
  return slash == std::string::npos ? head : head + key.substr(slash);
}

RegKey HiveRoot(const std::string& hive) {
  const HiveName* h = FindHiveName(hive);
  return h ? h->root : 0;
}

bool Confirm(Tool& tool, const std::string& question, bool force) {
  if (force) return true;
  if (!tool.ctx.platform.process.InputIsTerminal()) {
    Fail(tool, question +
                   " Not confirmed: there is no terminal to ask on; add /f (or /y) to "
                   "go ahead without asking.");
    return false;
  }
  tool.out << question << " (Yes/No)? " << std::flush;
  std::string answer;
  std::getline(tool.in, answer);
  answer = text::LowerAscii(text::Trim(answer));
  if (answer == "y" || answer == "yes") return true;
  Fail(tool, "The operation was cancelled.");
  return false;
}

std::string TypeName(std::uint32_t type) {
  for (const TypeEntry& t : kTypes)
    if (t.type == type) return std::string(t.name);
  return "REG_UNKNOWN(" + std::to_string(type) + ")";
}

std::uint32_t TypeFromName(const std::string& name) {
  for (const TypeEntry& t : kTypes)
    if (text::EqualsNoCase(name, std::string(t.name))) return t.type;
  return 0xFFFFFFFFu;
}

bool IsLinkKey(Tool& tool, const std::string& key) {
  std::string path = key;
  std::string subKey;
  RegKey root = 0;
  clsRegistryAccess::ParseKeyPath(path, subKey, root);
  Registry& r = tool.ctx.platform.registry;
  RegistryKey h(r);
  if (subKey.empty() ||
      h.OpenExOptions(root, subKey, reg::kOptionOpenLink, reg::kKeyRead) != win32_error::kSuccess)
    return false;
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  return r.QueryValueEx(h.Handle(), reg::kLinkValueName, &type, nullptr, &size) ==
             win32_error::kSuccess &&
         type == reg::kLink;
}

}  // namespace qreg
