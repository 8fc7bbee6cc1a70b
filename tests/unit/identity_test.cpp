#include "expand/identity.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "fakes/fake_platform.h"

namespace {

const std::string kPrefix = "Error while expanding the environmental variable ";

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

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
  EXPECT_TRUE(StartsWith(errorText, kPrefix + " ComputerName, 111")) << errorText;
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
  EXPECT_TRUE(StartsWith(errorText, kPrefix + "USERNAME, 122")) << errorText;
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
  EXPECT_TRUE(StartsWith(log[2], "ERR : OpenProcessToken :: 5")) << log[2];
  EXPECT_TRUE(log[2].ends_with(", Last dll error :: 5")) << log[2];
  EXPECT_EQ(log[3], "MSG : Return Value for GetUserProfileDirectory :: 0");
  EXPECT_TRUE(StartsWith(log[4], "ERR : GetUserProfileDirectory :: 6")) << log[4];
  EXPECT_TRUE(log[4].ends_with(", Last dll error :: 6")) << log[4];
  EXPECT_EQ(log[5], "MSG : %USERPROFILE% :: ");
}

class DomainName : public ::testing::Test {
 protected:
  void SetUp() override { run.fake.system.version.platformId = 2; }
  bool Ask(const std::string& name) { return fncGetDomainName(run.ctx, name, value, errorText); }
  FakeRun run;
  std::string value = "unchanged";
  std::string errorText;
};

TEST_F(DomainName, WmiDomainTrimmedEvenWhenEmpty) {
  for (const auto& [stored, expected] :
       std::vector<std::pair<std::optional<std::string>, std::string>>{
           {" CORP.EXAMPLE ", "CORP.EXAMPLE"}, {"", ""}, {std::nullopt, ""}}) {
    run.fake.wmi.classes["Win32_ComputerSystem"] = {{{"Domain", stored}}};
    EXPECT_TRUE(Ask("NTTYPE"));
    EXPECT_EQ(value, expected);
    EXPECT_EQ(errorText, "");
  }
  EXPECT_EQ(run.LogMessages().back(), "MSG : Setted the object for Win32_ComputerSystem");
}

TEST_F(DomainName, OlderPlatformsAreNotSupported) {
  for (std::uint32_t platform : {0u, 1u}) {
    FakeRun run;
    run.fake.system.version.platformId = platform;
    std::string value = "unchanged", errorText;
    EXPECT_FALSE(fncGetDomainName(run.ctx, "DomainName", value, errorText));
    EXPECT_EQ(errorText, "OS is not supported");
    EXPECT_EQ(run.LogMessages().back(), "ERR : " + kPrefix + "DomainName, OS is not supported");
  }
}

TEST_F(DomainName, UnknownPlatformFailsSilently) {
  run.fake.system.version.platformId = 3;
  EXPECT_FALSE(Ask("DOMAINNAME"));
  EXPECT_EQ(value, "unchanged");
  EXPECT_EQ(errorText, "");
  EXPECT_EQ(run.LogMessages(), std::vector<std::string>{"MSG : In fncGetDomainName"});
}

TEST_F(DomainName, WithoutAWmiAnswerTheRegistryErrorIsReported) {
  // WMI failing, answering nothing, or answering "UNKNOWN" all fall to the registry value;
  // here the registry has no such value either.
  const std::vector<std::function<void()>> setups = {
      [&] { run.fake.wmi.fails = true; },
      [&] { run.fake.wmi.classes.clear(); },
      [&] {
        run.fake.wmi.classes["Win32_ComputerSystem"] = {{{"Domain", "UNKNOWN"}}};
      },
      [&] {
        run.fake.wmi.classes["Win32_ComputerSystem"] = {{{"Name", "WS"}}};
      },
  };
  for (const auto& setup : setups) {
    run.fake.wmi = FakeWmi{};
    setup();
    errorText.clear();
    EXPECT_FALSE(Ask("DOMAINNAME"));
    EXPECT_NE(errorText, "");
    EXPECT_EQ(run.LogMessages().back(), "ERR : " + kPrefix + "DOMAINNAME, " + errorText);
  }
}

}  // namespace
