// The verb table, each verb's switches, usage texts and the one usage-error path.
#include "qreg.h"

#include <array>
#include <iostream>

#include "text/text_util.h"
#include "view_registry.h"

namespace qreg {
namespace {

constexpr SwitchSpec kReg64{"/reg:64", false};
constexpr SwitchSpec kReg32{"/reg:32", false};

struct Verb {
  std::string_view name;
  std::size_t positionals;  // KEY, KEY and FILE, or FILE alone (import)
  std::vector<SwitchSpec> switches;
  std::string_view usage;
  int (*run)(Tool&, const Command&);
};

const std::array<Verb, 5>& Verbs() {
  static const std::array<Verb, 5> verbs{{
      {"query",
       1,
       {{"/v", true}, {"/ve", false}, {"/s", false}, kReg32, kReg64},
       "QREG QUERY KEY [/v NAME | /ve] [/s] [/reg:32 | /reg:64]\n"
       "  Lists the values of KEY and its subkeys.\n"
       "  /v NAME  only the value NAME (with /s: the value NAME in every key below KEY)\n"
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
        kReg32,
        kReg64},
       "QREG ADD KEY [/v NAME | /ve] [/t TYPE] [/s SEPARATOR] [/d DATA] [/f] [/reg:32 | /reg:64]\n"
       "  Creates KEY (with its parents) and sets a value: /v NAME, or the default value\n"
       "  (an empty REG_SZ when neither /v, /ve, /t nor /d is given).\n"
       "  /v NAME  the value to set; /ve the default value (the default without /v)\n"
       "  /t TYPE  REG_SZ (default), REG_MULTI_SZ, REG_EXPAND_SZ, REG_DWORD, REG_QWORD,\n"
       "           REG_BINARY, REG_NONE, REG_DWORD_LITTLE_ENDIAN or REG_DWORD_BIG_ENDIAN\n"
       "  /s SEP   the character that separates the strings of REG_MULTI_SZ data (\\0 when\n"
       "           not given); no string of the list may be empty\n"
       "  /d DATA  the data: text, a number (decimal or 0x hex) or hex digits (an odd\n"
       "           count gets a leading 0)\n"
       "  /f       overwrite an existing value without asking\n"
       "  Unlike reg, REG_SZ and REG_MULTI_SZ data is stored without its closing NUL, as\n"
       "  the registry class writes it; REG_EXPAND_SZ and REG_NONE keep theirs.\n",
       Add},
      {"delete",
       1,
       {{"/v", true}, {"/ve", false}, {"/va", false}, {"/f", false}, kReg32, kReg64},
       "QREG DELETE KEY [/v NAME | /ve | /va] [/f] [/reg:32 | /reg:64]\n"
       "  Deletes KEY with all its subkeys, or only values of it.\n"
       "  /v NAME  the value NAME; /ve the default value; /va every value of KEY\n"
       "  /f       delete without asking\n",
       Delete},
      {"export",
       2,
       {{"/y", false}, kReg32, kReg64},
       "QREG EXPORT KEY FILE [/y] [/reg:32 | /reg:64]\n"
       "  Writes KEY and its subkeys to FILE in REGEDIT4 form.\n"
       "  /y       overwrite an existing FILE without asking\n",
       Export},
      {"import",
       1,
       {kReg32, kReg64},
       "QREG IMPORT FILE [/reg:32 | /reg:64]\n"
       "  Reads FILE, a REGEDIT4 file (ANSI) or a \"Windows Registry Editor Version 5.00\"\n"
       "  file (UTF-16LE with a byte-order mark, or UTF-8), into the registry: [KEY] creates\n"
       "  a key, [-KEY] deletes it with its subkeys, \"name\"=- deletes a value.\n"
       "  A line it cannot read is reported with its number and left out; the exit\n"
       "  status is then 1.\n",
       Import},
  }};
  return verbs;
}

constexpr std::string_view kGeneralUsage =
    "QREG operation [parameters]\n"
    "  operations: QUERY | ADD | DELETE | EXPORT | IMPORT\n"
    "  KEY: HIVE\\path, HIVE one of HKLM, HKCU, HKCR, HKUS, HKCC, HKPD, HKDD or their long\n"
    "       names (HKEY_LOCAL_MACHINE ...)\n"
    "  /reg:64 uses the 64-bit registry view, /reg:32 the 32-bit one.\n"
    "  Exit status: 0 done, 1 failed.\n"
    "Type \"qreg operation /?\" for the parameters of one operation.\n";

bool IsSwitch(const std::string& arg) {
  return arg.size() >= 2 && (arg[0] == '/' || arg[0] == '-');
}

// /?, /h and -h, in any case, as reg takes them.
bool IsHelp(const std::string& arg) {
  const std::string a = text::LowerAscii(arg);
  return a == "/?" || a == "-?" || a == "/h" || a == "-h";
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
      error = "Invalid switch \"" + arg + "\"" +
              (name.rfind("/reg:", 0) == 0 ? ": the views are /reg:32 and /reg:64." : ".");
      return false;
    }
    if (cmd.Has(name)) {
      error = "The switch " + name + " is given more than once.";
      return false;
    }
    if ((name == kReg32.name && cmd.Has(kReg64.name)) ||
        (name == kReg64.name && cmd.Has(kReg32.name))) {
      error = "/reg:32 and /reg:64 cannot be given together.";
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
  if (IsHelp(args[0]) || args[0] == "--version") {
    tool.out << "qreg " QENV_RELEASE_VERSION "\n";
    if (IsHelp(args[0])) tool.out << kGeneralUsage;
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
  tool.view.Select(cmd.View64() ? reg::kView64Bit : cmd.View32() ? reg::kView32Bit : 0);
  if (verb->run == Import) return Import(tool, cmd);
  std::string key;
  if (!CheckKey(cmd.positional[0], key, error)) return UsageError(tool, verb->name, error);
  cmd.positional[0] = key;
  return verb->run(tool, cmd);
}

}  // namespace qreg
