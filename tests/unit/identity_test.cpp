#include "expand/identity.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "expand/catalogue_delegating.h"
#include "fakes/fake_platform.h"
#include "support/row_printer.h"

namespace {

const std::string kPrefix = "Error while expanding the environmental variable ";
const char kTcpip[] = "HKLM\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";

TEST(ComputerName, NameUpTo31CharactersFitsAndLongerFailsWithTheSystemError) {
  for (std::size_t length : {1u, 15u, 31u}) {
    FakeRun run;
    run.fake.system.computerName = std::string(length, 'N');
    std::string value, errorText;
    EXPECT_TRUE(fncGetComputerName(run.ctx, "computername", value, errorText));
    EXPECT_EQ(value, run.fake.system.computerName);  // no filler shows
    EXPECT_EQ(errorText, "");
    EXPECT_EQ(run.LogMessages(),
              std::vector<std::string>{"MSG : Expanding the env variable computername"});
  }
  FakeRun run;
  run.fake.system.computerName = std::string(32, 'N');
  std::string value = "unchanged", errorText;
  EXPECT_FALSE(fncGetComputerName(run.ctx, " ComputerName", value, errorText));
  EXPECT_EQ(value, "unchanged");
  EXPECT_EQ(errorText, kPrefix + " ComputerName, 111-The file name is too long.");
  EXPECT_EQ(run.LogMessages().back(), "ERR :" + errorText);
}

TEST(UserName, NameThatDoesNotFitIsAFailureWithItsErrorText) {
  FakeRun run;
  run.fake.system.userName = std::string(99, 'u');
  std::string value, errorText;
  fncGetUserName(run.ctx, "USERNAME", value, errorText);
  EXPECT_EQ(value, std::string(99, 'u'));
  EXPECT_EQ(errorText, "");
  EXPECT_TRUE(run.LogMessages().empty());

  run.fake.system.userName = std::string(100, 'u');
  fncGetUserName(run.ctx, "USERNAME", value, errorText);
  EXPECT_EQ(value, "");
  EXPECT_EQ(errorText,
            kPrefix + "USERNAME, 122-The data area passed to a system call is too small.");
  EXPECT_EQ(run.LogMessages(), std::vector<std::string>{"ERR :" + errorText});
}

TEST(WeekDay, EnglishNamesCountingSundayAsOne) {
  const char* names[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                         "Thursday", "Friday", "Saturday"};
  FakeRun run;
  for (int day = 1; day <= 7; ++day) {
    run.fake.clock.now.weekday = day;
    std::string value, errorText;
    EXPECT_TRUE(fncGetWeekDay(run.ctx, value, errorText));
    EXPECT_EQ(value, names[day - 1]);
  }
  run.fake.clock.now.weekday = 0;
  std::string value, errorText;
  EXPECT_FALSE(fncGetWeekDay(run.ctx, value, errorText));
  EXPECT_TRUE(run.LogMessages().empty());
}

TEST(UserProfile, FoundProfileIsLoggedAndKept) {
  FakeRun run;
  std::string errorText = "old";
  fncGetCurrentUserProfile(run.ctx, errorText);
  EXPECT_EQ(errorText, "");
  EXPECT_EQ(run.ctx.gstrUserProfile, "C:\\Users\\operator");
  EXPECT_EQ(run.LogMessages(),
            (std::vector<std::string>{"MSG : In fncGetCurrentUserProfile",
                                      "MSg : Return Value for OpenProcessToken :: 1",
                                      "MSG : Return Value for GetUserProfileDirectory :: 1",
                                      "MSG : %USERPROFILE% :: C:\\Users\\operator"}));
}

TEST(UserProfile, FailingTokenLogsBothFailuresAndEmptiesTheProfile) {
  FakeRun run;
  run.ctx.gstrUserProfile = "stale";
  run.fake.system.tokenOpens = false;
  std::string errorText;
  fncGetCurrentUserProfile(run.ctx, errorText);
  EXPECT_EQ(errorText, "");
  EXPECT_EQ(run.ctx.gstrUserProfile, "");
  const auto log = run.LogMessages();
  ASSERT_EQ(log.size(), 6u);
  EXPECT_EQ(log[1], "MSg : Return Value for OpenProcessToken :: 0");
  EXPECT_EQ(log[2], "ERR : OpenProcessToken :: 5-Access is denied., Last dll error :: 5");
  EXPECT_EQ(log[3], "MSG : Return Value for GetUserProfileDirectory :: 0");
  EXPECT_EQ(log[4],
            "ERR : GetUserProfileDirectory :: 6-The handle is invalid., Last dll error :: 6");
  EXPECT_EQ(log[5], "MSG : %USERPROFILE% :: ");
}

// fncGetDomainName, as DOMAINNAME and NTTYPE reach it: the platform first, then WMI's
// Win32_ComputerSystem.Domain (trimmed), then the Tcpip registry value.
struct DomainCase {
  const char* label;
  std::uint32_t platformId;
  std::optional<std::vector<WmiInstance>> computerSystems;  // nullopt: WMI fails
  std::optional<std::string> registryDomain;                // nullopt: no such value
  bool result;
  std::string value, errorText, lastLog;
};
using row_printer::PrintTo;

class DomainName : public ::testing::TestWithParam<DomainCase> {};

TEST_P(DomainName, PlatformThenWmiThenRegistry) {
  const DomainCase& c = GetParam();
  using Entry = bool (*)(RunContext&, const std::string&, std::string&, std::string&);
  for (const Entry entry :
       {Entry{fncGetDomainName}, Entry{catalogue::DomainName}, Entry{catalogue::NtType}}) {
    FakeRun run;
    run.fake.system.version.platformId = c.platformId;
    run.fake.wmi.fails = !c.computerSystems;
    if (c.computerSystems) run.fake.wmi.classes["Win32_ComputerSystem"] = *c.computerSystems;
    if (c.registryDomain) run.fake.registry.SetString(kTcpip, "Domain", *c.registryDomain);
    std::string value = "unchanged", errorText;
    EXPECT_EQ(entry(run.ctx, "DomainName", value, errorText), c.result);
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(errorText, c.errorText);
    EXPECT_EQ(run.LogMessages().back(), c.lastLog);
  }
}

std::vector<WmiInstance> Answer(const std::string& property,
                                const std::optional<std::string>& value) {
  return {{{property, value}}};
}

const std::string kWmiRead = "MSG : Setted the object for Win32_ComputerSystem";
const std::string kTcpipRead = std::string("MSG : ReadString, ") + kTcpip + "[Domain]";
const std::string kMissing = "2-The system cannot find the file specified.";
const std::string kMissingLine = "ERR : " + kPrefix + "DomainName, " + kMissing;
const std::string kNotSupported = "ERR : " + kPrefix + "DomainName, OS is not supported";

const std::vector<WmiInstance> kNoAnswer;

const DomainCase kDomainCases[] = {
    {"WmiTrimmed", 2, Answer("Domain", " CORP.EXAMPLE "), {}, true, "CORP.EXAMPLE", "", kWmiRead},
    {"WmiWorkgroup", 2, Answer("Domain", "WORKGROUP"), {}, true, "WORKGROUP", "", kWmiRead},
    {"WmiEmpty", 2, Answer("Domain", ""), {}, true, "", "", kWmiRead},
    {"WmiNull", 2, Answer("Domain", std::nullopt), {}, true, "", "", kWmiRead},
    {"Win32s", 0, kNoAnswer, {}, false, "unchanged", "OS is not supported", kNotSupported},
    {"Windows9x", 1, kNoAnswer, {}, false, "unchanged", "OS is not supported", kNotSupported},
    {"UnknownPlatformSilent",
     3,
     kNoAnswer,
     {},
     false,
     "unchanged",
     "",
     "MSG : In fncGetDomainName"},
    {"WmiFailsNoValue", 2, {}, {}, false, "", kMissing, kMissingLine},
    {"WmiAnswersNothingNoValue", 2, kNoAnswer, {}, false, "", kMissing, kMissingLine},
    {"WmiUnknownNoValue", 2, Answer("Domain", "UNKNOWN"), {}, false, "", kMissing, kMissingLine},
    {"WmiWithoutDomainNoValue", 2, Answer("Name", "WS"), {}, false, "", kMissing, kMissingLine},
    {"WmiFailsRegistryAnswers", 2, {}, "corp.example", true, "corp.example", "", kTcpipRead},
    {"WmiUnknownRegistryEmpty", 2, Answer("Domain", " UNKNOWN "), "", true, "", "", kTcpipRead},
};

INSTANTIATE_TEST_SUITE_P(Cases, DomainName, testing::ValuesIn(kDomainCases),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
