// The verb table, each verb's switches, usage texts and the one usage-error path.
#include <array>
#include <iostream>

#include "qreg.h"
#include "text/text_util.h"

namespace qreg {
namespace {

constexpr SwitchSpec kReg64{"/reg:64", false};

struct Verb {
  std::string_view name;
  std::size_t positionals;  // KEY, or KEY and FILE
  std::vector<SwitchSpec> switches;
  std::string_view usage;
  int (*run)(Tool&, const Command&);
};

const std::array<Verb, 4>& Verbs() {
  static const std::array<Verb, 4> verbs{{
      {"query",
       1,
       {{"/v", true}, {"/ve", false}, {"/s", false}, kReg64},
       "QREG QUERY KEY [/v NAME | /ve] [/s] [/reg:64]\n"
       "  Lists the values of KEY and its subkeys.\n"
       "  /v NAME  only the value NAME\n"
       "  /ve      only the default (unnamed) value\n"
       "  /s       every subkey below KEY as well\n",
       Query},
      {"add",
       1,
       {{"/v", true},
        {"/ve", false},
        {"/t", true},
        {"/s", true},
        {"/d", true},
        {"/f", false},
        kReg64},
       "QREG ADD KEY [/v NAME | /ve] [/t TYPE] [/s SEPARATOR] [/d DATA] [/f] [/reg:64]\n"
       "  Creates KEY (with its parents) and, with /v, /ve, /t or /d, sets a value.\n"
       "  /v NAME  the value to set; /ve the default value (the default without /v)\n"
       "  /t TYPE  REG_SZ (default), REG_MULTI_SZ, REG_DWORD or REG_BINARY\n"
       "  /s SEP   the character that separates the strings of REG_MULTI_SZ data (\\0 when\n"
       "           not given)\n"
       "  /d DATA  the data: text, a number (decimal or 0x hex) or hex digit pairs\n"
       "  /f       overwrite an existing value without asking\n",
       Add},
      {"delete",
       1,
       {{"/v", true}, {"/ve", false}, {"/va", false}, {"/f", false}, kReg64},
       "QREG DELETE KEY [/v NAME | /ve | /va] [/f] [/reg:64]\n"
       "  Deletes KEY with all its subkeys, or only values of it.\n"
       "  /v NAME  the value NAME; /ve the default value; /va every value of KEY\n"
       "  /f       delete without asking\n",
       Delete},
      {"export",
       2,
       {{"/y", false}, kReg64},
       "QREG EXPORT KEY FILE [/y] [/reg:64]\n"
       "  Writes KEY and its subkeys to FILE in REGEDIT4 form.\n"
       "  /y       overwrite an existing FILE without asking\n",
       Export},
  }};
  return verbs;
}

constexpr std::string_view kGeneralUsage =
    "QREG operation [parameters]\n"
    "  operations: QUERY | ADD | DELETE | EXPORT\n"
    "  KEY: HIVE\\path, HIVE one of HKLM, HKCU, HKCR, HKUS, HKCC, HKPD, HKDD or their long\n"
    "       names (HKEY_LOCAL_MACHINE ...)\n"
    "  /reg:64 uses the 64-bit registry view.\n"
    "  Exit status: 0 done, 1 failed.\n"
    "Type \"qreg operation /?\" for the parameters of one operation.\n";

bool IsSwitch(const std::string& arg) {
  return arg.size() >= 2 && (arg[0] == '/' || arg[0] == '-');
}

bool IsHelp(const std::string& arg) {
  return arg == "/?" || arg == "-?";
}

// The leading positional arguments, then switches of the verb, each at most once.
bool Parse(const Verb& verb, const std::vector<std::string>& args, Command& cmd,
           std::string& error) {
  std::size_t i = 0;
  for (; i < verb.positionals; ++i) {
    if (i >= args.size()) {
      error = verb.positionals == 2 && i == 1 ? "FILE is missing." : "KEY is missing.";
      return false;
    }
    cmd.positional.push_back(args[i]);
  }
  for (; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!IsSwitch(arg)) {
      error = "Unexpected argument \"" + arg + "\".";
      return false;
    }
    std::string name = text::LowerAscii(arg);
    name[0] = '/';
    const SwitchSpec* switchDef = nullptr;
    for (const SwitchSpec& s : verb.switches)
      if (s.name == name) switchDef = &s;
    if (!switchDef) {
      error = "Invalid switch \"" + arg + "\".";
      return false;
    }
    if (cmd.Has(name)) {
      error = "The switch " + name + " is given more than once.";
      return false;
    }
    std::string value;
    if (switchDef->takesValue) {
      if (i + 1 >= args.size()) {
        error = "The switch " + name + " needs a value.";
        return false;
      }
      value = args[++i];
    }
    cmd.switches[name] = value;
  }
  return true;
}

const Verb* FindVerb(const std::string& name) {
  for (const Verb& v : Verbs())
    if (text::EqualsNoCase(std::string(v.name), name)) return &v;
  return nullptr;
}

}  // namespace

int Fail(Tool& tool, const std::string& message) {
  tool.err << "ERROR: " << message << "\n";
  return 1;
}

int UsageError(Tool& tool, std::string_view verb, const std::string& message) {
  tool.err << "ERROR: " << message << "\n";
  if (verb.empty())
    tool.err << "Type \"qreg /?\" for usage.\n";
  else
    tool.err << "Type \"qreg " << verb << " /?\" for usage.\n";
  return 1;
}

int Run(Tool& tool, const std::vector<std::string>& args) {
  if (args.empty()) return UsageError(tool, "", "An operation is missing.");
  if (IsHelp(args[0])) {
    tool.out << kGeneralUsage;
    return 0;
  }
  const Verb* verb = FindVerb(args[0]);
  if (!verb) return UsageError(tool, "", "Invalid operation \"" + args[0] + "\".");
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  for (const std::string& arg : rest) {
    if (IsHelp(arg)) {
      tool.out << verb->usage;
      return 0;
    }
  }
  Command cmd;
  std::string error;
  if (!Parse(*verb, rest, cmd, error)) return UsageError(tool, verb->name, error);
  std::string key;
  if (!CheckKey(cmd.positional[0], key, error)) return UsageError(tool, verb->name, error);
  cmd.positional[0] = key;
  return verb->run(tool, cmd);
}

}  // namespace qreg
