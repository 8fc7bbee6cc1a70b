#include "expand/resolver.h"
#include "fakes/test_context.h"

#include <gtest/gtest.h>

#include <cctype>

#include "expand/catalogue.h"
#include "fakes/fake_platform.h"
#include "support/row_printer.h"

namespace {

struct Resolved {
  bool result;
  std::string value;
  std::string error;
};

Resolved Resolve(FakeRun& run, const std::string& name) {
  Resolved r{false, "", ""};
  r.result = fncExpandEvnVariable(run.ctx, name, r.value, r.error);
  return r;
}

// One catalogue entry of the environment/clock group, with the environment it runs in.
struct EntryCase {
  std::string label;
  std::string name;
  std::vector<std::pair<std::string, std::string>> env;
  std::string value;
  bool result;
  std::string error;
};

using row_printer::PrintTo;

class BasicEntryTest : public ::testing::TestWithParam<EntryCase> {};

TEST_P(BasicEntryTest, ValueResultAndErrorText) {
  const EntryCase& c = GetParam();
  FakeRun run;
  for (const auto& [k, v] : c.env) run.fake.environment.Set(k, v);
  const Resolved r = Resolve(run, c.name);
  EXPECT_EQ(r.value, c.value);
  EXPECT_EQ(r.result, c.result);
  EXPECT_EQ(r.error, c.error);
}

const std::string kNoValue = "Error while expanding environmental variable ";

INSTANTIATE_TEST_SUITE_P(
    Entries, BasicEntryTest,
    ::testing::Values(
        EntryCase{"DomainUserNameIsLogonDomain",
                  "DOMAINUSERNAME",
                  {{"USERDOMAIN", "CORP"}},
                  "CORP",
                  true,
                  ""},
        EntryCase{
            "SystemRoot", "SYSTEMROOT", {{"SystemRoot", "C:\\WINDOWS"}}, "C:\\WINDOWS", true, ""},
        EntryCase{"TempDirReadsTemp",
                  "TEMPDIR",
                  {{"TEMP", "C:\\Temp"}, {"TMP", "D:\\x"}},
                  "C:\\Temp",
                  true,
                  ""},
        EntryCase{"WinDir", "WINDIR", {{"WINDIR", "C:\\WINDOWS"}}, "C:\\WINDOWS", true, ""},
        EntryCase{"AllUsersProfile",
                  "ALLUSERSPROFILE",
                  {{"ALLUSERSPROFILE", "C:\\ProgramData"}},
                  "C:\\ProgramData",
                  true,
                  ""},
        EntryCase{"ProgramFiles",
                  "PROGRAMFILES",
                  {{"ProgramFiles", "C:\\Program Files"}},
                  "C:\\Program Files",
                  true,
                  ""},
        EntryCase{"UnsetVariableGivesEmptySuccess", "PROGRAMFILES", {}, "", true, ""},
        EntryCase{
            "SystemDriveGainsBackslash", "SYSTEMDRIVE", {{"SystemDrive", "C:"}}, "C:\\", true, ""},
        EntryCase{"SystemDriveTrimmedBeforeBackslash",
                  "SYSTEMDRIVE",
                  {{"SystemDrive", " C: "}},
                  "C:\\",
                  true,
                  ""},
        EntryCase{"SystemDriveWithBackslashKeptUntrimmed",
                  "SYSTEMDRIVE",
                  {{"SystemDrive", "C:\\ "}},
                  "C:\\ ",
                  true,
                  ""},
        EntryCase{"SystemDriveUnsetIsBackslash", "SYSTEMDRIVE", {}, "\\", true, ""},
        EntryCase{"ProfileDirDuReplacesAllUsers",
                  "PROFILEDIRDU",
                  {{"ALLUSERSPROFILE", "C:\\Documents and Settings\\All Users"}},
                  "C:\\Documents and Settings\\Default User",
                  true,
                  ""},
        EntryCase{"ProfileDirDuOtherCasePassesUnchanged",
                  "PROFILEDIRDU",
                  {{"ALLUSERSPROFILE", "C:\\Documents and Settings\\ALL USERS"}},
                  "C:\\Documents and Settings\\ALL USERS",
                  true,
                  ""},
        EntryCase{"ProfileDirDuWithoutAllUsersFailsWithText",
                  "PROFILEDIRDU",
                  {{"ALLUSERSPROFILE", "C:\\ProgramData"}},
                  "",
                  false,
                  kNoValue + "PROFILEDIRDU, it has no value. "},
        EntryCase{"ProfilesDirStripsAllUsers",
                  "PROFILESDIR",
                  {{"ALLUSERSPROFILE", "C:\\Documents and Settings\\All Users"}},
                  "C:\\Documents and Settings",
                  true,
                  ""},
        EntryCase{"ProfilesDirStripsEveryExactOccurrence",
                  "PROFILESDIR",
                  {{"ALLUSERSPROFILE", "D:\\All Users\\x\\All Users"}},
                  "D:\\x",
                  true,
                  ""},
        EntryCase{"ProfilesDirBlankResultFailsWithText",
                  "PROFILESDIR",
                  {{"ALLUSERSPROFILE", "  \\All Users"}},
                  "  ",
                  false,
                  kNoValue + "PROFILESDIR, it has no value. "},
        EntryCase{"ProfilesDirWithoutAllUsersFailsWithText",
                  "PROFILESDIR",
                  {{"ALLUSERSPROFILE", "C:\\ProgramData"}},
                  "",
                  false,
                  kNoValue + "PROFILESDIR, it has no value. "},
        EntryCase{"ProfilesDirUnsetFailsWithText",
                  "PROFILESDIR",
                  {},
                  "",
                  false,
                  kNoValue + "PROFILESDIR, it has no value. "},
        EntryCase{"CrlfIsTwoCharacters", "CRLF", {}, "\r\n", true, ""},
        EntryCase{"UnknownNameNotFound",
                  "foo",
                  {{"FOO", "bar"}},
                  "",
                  false,
                  kNoValue + "FOO, it is not found. "},
        EntryCase{"ProcessVariableOutsideCatalogueNotFound",
                  "PATH",
                  {{"PATH", "C:\\bin"}},
                  "",
                  false,
                  kNoValue + "PATH, it is not found. "},
        EntryCase{"UserDomainIsNoCatalogueName",
                  "USERDOMAIN",
                  {{"USERDOMAIN", "CORP"}},
                  "",
                  false,
                  kNoValue + "USERDOMAIN, it is not found. "},
        EntryCase{"KeyTrimsSpacesOnly",
                  "\tTEMPDIR",
                  {{"TEMP", "C:\\Temp"}},
                  "",
                  false,
                  kNoValue + "\tTEMPDIR, it is not found. "}),
    [](const auto& info) { return info.param.label; });

TEST(Resolver, NameMatchesWithoutCaseOrSurroundingSpaces) {
  for (const std::string name : {"tempdir", "Tempdir", "  TEMPDIR  ", " tEmPdIr"}) {
    FakeRun run;
    run.fake.environment.Set("TEMP", "C:\\Temp");
    const Resolved r = Resolve(run, name);
    EXPECT_TRUE(r.result) << name;
    EXPECT_EQ(r.value, "C:\\Temp") << name;
    // The name is logged as written, not as the key.
    EXPECT_EQ(run.LogMessages(), (std::vector<std::string>{"MSG : In fncExpandEvnVariable " + name,
                                                           "MSG : Expanded Value :: C:\\Temp"}));
  }
}

TEST(Resolver, NotFoundLogsValueAsItWasAndKeepsIt) {
  FakeRun run;
  std::string value = "given";
  std::string error;
  EXPECT_FALSE(fncExpandEvnVariable(run.ctx, " nope ", value, error));
  EXPECT_EQ(value, "given");
  EXPECT_EQ(error, "Error while expanding environmental variable NOPE, it is not found. ");
  EXPECT_EQ(run.LogMessages(), (std::vector<std::string>{"MSG : In fncExpandEvnVariable  nope ",
                                                         "MSG : Expanded Value :: given"}));
}

TEST(Resolver, DateIsEightDigitsYearFirst) {
  struct Case {
    LocalTime now;
    std::string expected;
  };
  for (const Case& c :
       {Case{{2026, 12, 7, 21, 5, 9, 2}, "20261207"}, Case{{2027, 1, 3, 0, 0, 0, 1}, "20270103"}}) {
    FakeRun run;
    run.fake.clock.now = c.now;
    const Resolved r = Resolve(run, "DATE_YYYYMMDD");
    EXPECT_TRUE(r.result);
    EXPECT_EQ(r.value, c.expected);
  }
}

TEST(Resolver, TimeUsesTwentyFourHoursAndLocaleSeparator) {
  struct Case {
    int h, m, s;
    std::string sep;
    std::string expected;
  };
  for (const Case& c : {Case{21, 5, 9, ":", "21:05:09"}, Case{9, 5, 7, ".", "09.05.07"},
                        Case{0, 0, 0, ":", "00:00:00"}, Case{23, 59, 59, " h ", "23 h 59 h 59"}}) {
    FakeRun run;
    run.fake.clock.now.hour = c.h;
    run.fake.clock.now.minute = c.m;
    run.fake.clock.now.second = c.s;
    run.fake.clock.timeSeparator = c.sep;
    const Resolved r = Resolve(run, "time");
    EXPECT_TRUE(r.result);
    EXPECT_EQ(r.value, c.expected);
  }
}

// An environment whose reads fail, as a platform call may.
class FailingEnvironment : public Environment {
 public:
  std::string GetVariable(const std::string&) override {
    throw RuntimeError(70, "Permission denied");
  }
};

TEST(Resolver, FailureInsideEntryIsTrappedWithoutClosingLine) {
  FakePlatform fake;
  FailingEnvironment env;
  Platform p = fake.View();
  Platform platform{p.registry, p.system, env, p.clock, p.files, p.wmi, p.net, p.process, p.window};
  TestContext ctx(platform);
  ctx.LogStream = fake.files.CreateTextFile("log.txt", true);
  std::string value;
  std::string error;
  EXPECT_FALSE(fncExpandEvnVariable(ctx, " windir", value, error));
  EXPECT_EQ(error, "Error while expanding environmental variable WINDIR, Permission denied");
  ctx.LogStream->Close();
  EXPECT_EQ(fake.files.Content("log.txt"),
            "12/07/2026 21:05:09\tMSG : In fncExpandEvnVariable  windir\r\n"
            "12/07/2026 21:05:09\tERR : fncExpandEvnVariable, Error while expanding "
            "environmental variable WINDIR, Permission denied\r\n");
}

TEST(Resolver, EveryCatalogueNameIsFoundWhateverItsCase) {
  for (const CatalogueEntry& e : Catalogue()) {
    std::string lower = e.name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    FakeRun run;
    const Resolved r = Resolve(run, lower);
    EXPECT_NE(r.error, kNoValue + e.name + ", it is not found. ") << e.name;
  }
}

TEST(Catalogue, LookupMatchesTheWholeUpperCaseKey) {
  const CatalogueEntry table[] = {{"A", catalogue::Time}, {"AB", catalogue::Crlf}};
  EXPECT_EQ(FindCatalogueEntry(table, "A"), &catalogue::Time);
  EXPECT_EQ(FindCatalogueEntry(table, "AB"), &catalogue::Crlf);
  EXPECT_EQ(FindCatalogueEntry(table, "b"), nullptr);  // keys arrive upper-cased
  EXPECT_EQ(FindCatalogueEntry(table, "ABC"), nullptr);
  EXPECT_EQ(FindCatalogueEntry(table, ""), nullptr);
}

}  // namespace
