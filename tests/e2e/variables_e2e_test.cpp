// Every name of the catalogue through the built qEnv, each result checked against what the
// machine itself says (host_facts.h): natively the host, under Wine Wine's own programs; a
// row that pins the variables its run reads states its result.
// A name whose value is an error where the test runs must give that exact "ERR : " line.
#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "agent_install.h"
#include "expand/catalogue.h"
#include "host_facts.h"
#include "support/row_printer.h"
#include "support/scoped_variables.h"

namespace {

const char kSessionEnvironment[] =
    "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
const char kUserShellFolders[] =
    "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

bool Blank(const std::string& s) {
  return s.find_first_not_of(' ') == std::string::npos;
}

// A value that the run writes as it is, unless it is blank: then the splitter's error.
std::string Outcome(const std::string& value) {
  return Blank(value) ? "ERR : Env Varibale value is blank" : value;
}

// An entry that fails without a reason of its own.
std::string NoValue(const std::string& key) {
  return "ERR : Error while expanding environmental variable " + key + ", it has no value. ";
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// Every occurrence of what (any letter case) replaced by with.
std::string ReplaceNoCase(const std::string& text, const std::string& what,
                          const std::string& with) {
  const std::string upperText = Upper(text), upperWhat = Upper(what);
  std::string out;
  std::size_t from = 0;
  for (std::size_t at; (at = upperText.find(upperWhat, from)) != std::string::npos;
       from = at + what.size())
    out += text.substr(from, at - from) + with;
  return out + text.substr(from);
}

std::string ShellFolder(const std::string& valueName) {
  const auto stored = host::RegistryText(kUserShellFolders, valueName);
  if (!stored) return "ERR : (no value " + valueName + " where the test runs)";
  return Outcome(ReplaceNoCase(*stored, "%USERPROFILE%", host::ProfileFolder()));
}

struct Row {
  const char* name;
  std::function<std::string(const AgentInstall&)> expected;  // the result line, no CR LF
  // Variables the run gets for a literal expectation (nullopt: removed).
  std::vector<std::pair<std::string, std::optional<std::string>>> pinned = {};
};

// The value Windows from Vista on, and Wine, give ALLUSERSPROFILE: no "\All Users" in it
// (ProfileVariables below gives the older one).
const ScopedVariables::Value kSharedProfile{"ALLUSERSPROFILE", "C:\\ProgramData"};

std::vector<Row> Rows() {
  using A = const AgentInstall&;
  auto env = [](const char* variable) {
    return [variable](A) { return Outcome(host::Variable(variable)); };
  };
  auto shell = [](const char* valueName) {
    return [valueName](A) { return ShellFolder(valueName); };
  };
  auto domain = [](A) {
    const auto d = host::Domain();
    return d ? Outcome(*d) : std::string("ERR : OS is not supported");
  };
  return {
      {"COMPUTERNAME", [](A) { return Outcome(host::ComputerName()); }},
      {"COMSPEC",
       [](A) {
         const auto stored = host::RegistryText(kSessionEnvironment, "COMSPEC");
         return stored && !Blank(*stored) ? *stored : NoValue("COMSPEC");
       }},
      {"DOMAINNAME", domain},
      {"DOMAINUSERNAME", env("USERDOMAIN")},
      {"USERNAME", [](A) { return Outcome(host::UserName()); }},
      {"NTTYPE", domain},
      {"OS", [](A) { return Outcome(host::Os().caption); }},
      {"OSBUILDNUMBER", [](A) { return Outcome(host::Os().buildNumber); }},
      {"OSCSDVERSION", [](A) { return Outcome(host::Os().csdVersion); }},
      {"OSTYPE", [](A) { return Outcome(host::Os().typeName); }},
      {"OSVERSION", [](A) { return Outcome(host::Os().version); }},
      {"PROFILEDIRDU", [](A) { return NoValue("PROFILEDIRDU"); }, {kSharedProfile}},
      {"PROFILESDIR", [](A) { return NoValue("PROFILESDIR"); }, {kSharedProfile}},
      {"SHELLCACHE", shell("cache")},
      {"SHELLCOOKIES", shell("Cookies")},
      {"SHELLDESKTOP", shell("Desktop")},
      {"SHELLFAVORITES", shell("Favorites")},
      {"SHELLHISTORY", shell("History")},
      {"SHELLMYPICTURES", shell("My Pictures")},
      {"SHELLPERSONAL", shell("Personal")},
      {"SHELLPROGRAMS", shell("Programs")},
      {"SHELLRECENT", shell("Recent")},
      {"SHELLSENDTO", shell("SendTo")},
      {"SHELLSTARTMENU", shell("Start Menu")},
      {"SHELLSTARTUP", shell("Startup")},
      {"SYSTEMDRIVE", [](A) { return std::string("C:\\"); }, {{"SystemDrive", "C:"}}},
      {"SYSTEMROOT", env("SystemRoot")},
      {"TEMPDIR", env("TEMP")},
      {"WINDIR", env("windir")},
      {"SYSTEMDIRECTORY", [](A) { return Outcome(host::SystemDirectory()); }},
      {"ALLUSERSPROFILE", env("ALLUSERSPROFILE")},
      {"PROGRAMFILES", env("PROGRAMFILES")},
      {"APPDATA",
       [](A) {
         const std::string appData = host::Variable("APPDATA");
         return Blank(appData) ? host::ProfileFolder() + host::PathSeparator() + "Application Data"
                               : appData;
       }},
      {"IPADDRESS", [](A) { return Outcome(host::IpAddress()); }},
      {"CRLF", [](A) { return std::string("\r\n"); }},
      {"QARNPARTNERID", [](A) { return std::string("42"); }},
      {"QARNSITEID", [](A) { return std::string("7"); }},
      {"QARNAGENTID", [](A) { return std::string("1234"); }},
      {"QARNAGENTTYPE", [](A) { return std::string("SERVER"); }},
      {"QARNINSTALLPATH", [](A agent) { return agent.LoggedInstallDir(); }},
  };
}

using row_printer::PrintTo;

class CatalogueName : public testing::TestWithParam<Row> {};

TEST_P(CatalogueName, GivesWhatTheMachineSays) {
  AgentInstall agent;
  host::PrepareRegistry(agent);
  ScopedVariables env;
  for (const auto& [name, value] : host::PinnedVariables()) env.Set(name, value);
  for (const auto& [name, value] : GetParam().pinned) env.Set(name, value);
  agent.Run(std::string(" %") + GetParam().name + "%");
  EXPECT_EQ(agent.Result(), GetParam().expected(agent) + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(Variables, CatalogueName, testing::ValuesIn(Rows()),
                         [](const auto& info) { return std::string(info.param.name); });

// The clock names: whatever the clock showed during the run, the second before the run to
// the second after it, so a run that crosses a second or midnight passes either way.
std::set<std::string> ClockTexts(std::time_t from, std::time_t to, const char* format) {
  std::set<std::string> texts;
  for (std::time_t t = from; t <= to; ++t) {
    char buf[64];
    std::strftime(buf, sizeof buf, format, std::localtime(&t));
    texts.insert(buf);
  }
  return texts;
}

struct ClockRow {
  const char* name;
  const char* format;
};

class ClockName : public testing::TestWithParam<ClockRow> {};

TEST_P(ClockName, GivesTheClockDuringTheRun) {
  AgentInstall agent;
  const std::time_t before = std::time(nullptr);
  agent.Run(std::string(" %") + GetParam().name + "%");
  const std::time_t after = std::time(nullptr);
  const auto result = agent.Result();
  ASSERT_TRUE(result);
  ASSERT_GE(result->size(), 2u);
  EXPECT_EQ(result->substr(result->size() - 2), "\r\n");
  const std::set<std::string> texts = ClockTexts(before, after, GetParam().format);
  EXPECT_TRUE(texts.count(result->substr(0, result->size() - 2)))
      << *result << " not in the " << texts.size() << " texts from " << *texts.begin();
}

INSTANTIATE_TEST_SUITE_P(Clock, ClockName,
                         testing::Values(ClockRow{"DATE_YYYYMMDD", "%Y%m%d"},
                                         ClockRow{"TIME", "%H:%M:%S"}, ClockRow{"DAY", "%A"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ProfileCase {
  const char* what;
  const char* allUsersProfile;
  std::string result;  // of %PROFILEDIRDU%|%PROFILESDIR%, no CR LF
};

class ProfileVariables : public testing::TestWithParam<ProfileCase> {};

// The folders of an environment as Windows XP gave it, where "\All Users" names the
// shared profile.
TEST_P(ProfileVariables, FollowTheAllUsersProfileFolder) {
  ScopedVariables env{{"ALLUSERSPROFILE", GetParam().allUsersProfile}};
  AgentInstall agent;
  agent.Run(" %PROFILEDIRDU%|%PROFILESDIR%");
  EXPECT_EQ(agent.Result(), GetParam().result + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Environments, ProfileVariables,
    testing::Values(
        ProfileCase{"WindowsXp", "C:\\Documents and Settings\\All Users",
                    "C:\\Documents and Settings\\Default User|C:\\Documents and Settings"},
        // found whatever the case, replaced only where spelt exactly
        ProfileCase{"OtherLetterCase", "C:\\Documents and Settings\\ALL USERS",
                    "C:\\Documents and Settings\\ALL USERS|C:\\Documents and Settings\\ALL "
                    "USERS"},
        // nothing left of the folder once "\All Users" is gone
        ProfileCase{"OnlyAllUsers", "\\All Users", NoValue("PROFILESDIR")}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(AppDataVariable, WithoutTheVariableIsTheProfileFoldersApplicationData) {
  // The Linux build answers an unset APPDATA from these before it is ever blank.
  ScopedVariables env(
      {{"APPDATA", std::nullopt}, {"XDG_CONFIG_HOME", std::nullopt}, {"HOME", std::nullopt}});
  AgentInstall agent;
  agent.Run(" %APPDATA%");
  EXPECT_EQ(agent.Result(), host::ProfileFolder() + host::PathSeparator() + "Application Data\r\n");
}

// What an agent writes: several names in one line, one of them with blanks inside its
// signs and in lower case.
TEST(CatalogueLine, SeveralNamesInOneRun) {
  AgentInstall agent;
  agent.Run(" %COMPUTERNAME%_% username %_%OsType%.%QARNAGENTID%");
  EXPECT_EQ(agent.Result(), host::ComputerName() + "_" + host::UserName() + "_" +
                                host::Os().typeName + ".1234\r\n");
}

// Blanks inside the signs reach the registry as part of the value name, which exists
// nowhere.
TEST(CatalogueLine, ComspecWithBlanksInsideTheSignsHasNoValue) {
  AgentInstall agent;
  host::PrepareRegistry(agent);
  agent.Run(" % COMSPEC %");
  EXPECT_EQ(agent.Result(), NoValue("COMSPEC") + "\r\n");
}

TEST(CatalogueNames, EveryNameOfTheCatalogueIsChecked) {
  std::set<std::string> checked;
  for (const Row& row : Rows()) checked.insert(row.name);
  for (const char* clock : {"DATE_YYYYMMDD", "TIME", "DAY"}) checked.insert(clock);
  std::set<std::string> catalogue;
  for (const CatalogueEntry& e : Catalogue()) catalogue.insert(e.name);
  EXPECT_EQ(checked, catalogue);
}

}  // namespace
