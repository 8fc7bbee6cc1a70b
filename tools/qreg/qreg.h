#pragma once
// qreg: the registry from the command line, through clsRegistryAccess, in the syntax that
// administrators know from the system's reg tool.
#include <cstdint>
#include <iosfwd>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

class RunContext;
class clsRegistryAccess;

namespace qreg {

class ViewRegistry;

// What one invocation works with. view is the registry that ctx's platform and reg use.
struct Tool {
  RunContext& ctx;
  clsRegistryAccess& reg;
  std::ostream& out;
  std::ostream& err;
  std::istream& in;
  ViewRegistry& view;
};

// A verb's arguments once parsed: the leading positional arguments (KEY, FILE) and the
// switches by lower-case name ("" for a switch without a value).
struct Command {
  std::vector<std::string> positional;
  std::map<std::string, std::string> switches;
  bool Has(std::string_view name) const { return switches.count(std::string(name)) > 0; }
  const std::string& Value(std::string_view name) const { return switches.at(std::string(name)); }
  bool View64() const { return Has("/reg:64"); }
  bool View32() const { return Has("/reg:32"); }
};

struct SwitchSpec {
  std::string_view name;  // lower case, with its slash
  bool takesValue;
};

// The whole run: args are the arguments after the program name. Returns the exit status.
int Run(Tool& tool, const std::vector<std::string>& args);

// Prints "ERROR: message" and the usage hint of the verb; the one way out for bad syntax.
int UsageError(Tool& tool, std::string_view verb, const std::string& message);
// Prints "ERROR: message"; returns 1.
int Fail(Tool& tool, const std::string& message);

// The key argument checked and tidied (trailing backslashes dropped): false with a message
// when its hive is unknown.
bool CheckKey(const std::string& key, std::string& tidy, std::string& error);
// The key's full name with the long hive name, as the query and the prompts show it.
std::string LongKeyName(const std::string& key);
// The root key of a hive token or long name; 0 for none.
RegKey HiveRoot(const std::string& hive);
// Asks question on the terminal unless force; without a terminal the answer is no.
bool Confirm(Tool& tool, const std::string& question, bool force);

// True when the key is a link key (opened by path, it would be its target).
bool IsLinkKey(Tool& tool, const std::string& key);

// The names of the key's values in the registry's order, exactly as stored; *opened (when
// given) tells whether the key could be opened.
std::vector<std::string> ValueNames(Tool& tool, const std::string& key, bool* opened);

// The verbs.
int Query(Tool& tool, const Command& cmd);
int Add(Tool& tool, const Command& cmd);
int Delete(Tool& tool, const Command& cmd);
int Export(Tool& tool, const Command& cmd);
int Import(Tool& tool, const Command& cmd);

// Registry type names ("REG_SZ" ...) and back; 0xFFFFFFFF for an unknown name.
std::string TypeName(std::uint32_t type);
std::uint32_t TypeFromName(const std::string& name);

}  // namespace qreg
