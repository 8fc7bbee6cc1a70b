#include "expand/catalogue_delegating.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_platform.h"

namespace {

using Entry = bool (*)(RunContext&, const std::string&, std::string&, std::string&);

TEST(DelegatingEntries, AgentIdentityAsReadAtStartUpEvenWhenEmpty) {
  FakeRun run;
  run.ctx.AgentMemberId = "M-17";
  run.ctx.AgentSiteId = "";
  run.ctx.AgentRegId = "R-99";
  run.ctx.AgentType = "2";
  run.ctx.AgentInstallPath = "C:\\Program Files\\Agent";
  const std::vector<std::pair<Entry, std::string>> cases = {
      {catalogue::PartnerId, "M-17"},
      {catalogue::SiteId, ""},
      {catalogue::AgentId, "R-99"},
      {catalogue::AgentType, "2"},
      {catalogue::InstallPath, "C:\\Program Files\\Agent"}};
  for (const auto& [entry, expected] : cases) {
    std::string value = "unchanged", errorText;
    EXPECT_TRUE(entry(run.ctx, "x", value, errorText));
    EXPECT_EQ(value, expected);
  }
}

TEST(DelegatingEntries, UserNameSucceedsButKeepsTheErrorTextOfAFailedLookup) {
  FakeRun run;
  run.fake.system.userName = std::string(120, 'u');
  std::string value, errorText;
  EXPECT_TRUE(catalogue::UserName(run.ctx, " username ", value, errorText));
  EXPECT_EQ(value, "");
  // The fixed name, not the one written in the token.
  EXPECT_EQ(errorText,
            "Error while expanding the environmental variable USERNAME, 122-The data area passed "
            "to a system call is too small.");
}

TEST(DelegatingEntries, AppDataFallsBackToTheProfileFolder) {
  FakeRun run;
  run.fake.environment.Set("APPDATA", "D:\\Roaming");
  std::string value, errorText;
  EXPECT_TRUE(catalogue::AppData(run.ctx, "APPDATA", value, errorText));
  EXPECT_EQ(value, "D:\\Roaming");

  run.fake.environment.Set("APPDATA", "   ");
  EXPECT_TRUE(catalogue::AppData(run.ctx, "APPDATA", value, errorText));
  EXPECT_EQ(value, std::string("C:\\Users\\operator") + kPathSep + "Application Data");
  const auto log = run.LogMessages();
  EXPECT_EQ(std::count(log.begin(), log.end(), "MSG : In fncGetCurrentUserProfile"), 1);

  run.fake.environment.Unset("APPDATA");
  run.fake.system.tokenOpens = false;
  EXPECT_TRUE(catalogue::AppData(run.ctx, "APPDATA", value, errorText));
  EXPECT_EQ(value, std::string(kPathSep) + "Application Data");
  EXPECT_EQ(errorText, "");
}

TEST(DelegatingEntries, BuildNumberLineOnlyOnSuccess) {
  FakeRun run;
  run.fake.wmi.classes["Win32_OperatingSystem"] = {{{"BuildNumber", "7601"}}};
  std::string value, errorText;
  EXPECT_TRUE(catalogue::OsBuildNumber(run.ctx, "OSBUILDNUMBER", value, errorText));
  EXPECT_EQ(value, "7601");
  EXPECT_EQ(run.LogMessages().back(), "MSG : OS Build No. is 7601");

  FakeRun failing;  // no WMI answer, no NT version record
  EXPECT_FALSE(catalogue::OsBuildNumber(failing.ctx, "OSBUILDNUMBER", value, errorText));
  for (const auto& line : failing.LogMessages())
    EXPECT_EQ(line.find("OS Build No."), std::string::npos) << line;
}

TEST(DelegatingEntries, IpAddressRunsTheDiscoveryEveryTimeAndCopiesItsAnswer) {
  FakeRun run;
  HostRecord host;
  host.addressLength = 4;
  host.addresses.push_back(std::string("\x0A\x00\x00\x07", 4));
  run.fake.net.hosts["WS-0042"] = host;
  std::string value, errorText;
  EXPECT_TRUE(catalogue::IpAddress(run.ctx, "IPADDRESS", value, errorText));
  EXPECT_EQ(value, "10.0.0.7");
  run.fake.net.hosts.clear();
  run.fake.process.startSucceeds = false;
  EXPECT_TRUE(catalogue::IpAddress(run.ctx, "IPADDRESS", value, errorText));
  EXPECT_EQ(value, "");
  EXPECT_EQ(run.fake.net.lookedUp.size(), 2u);
  EXPECT_EQ(errorText, "");
}

}  // namespace
