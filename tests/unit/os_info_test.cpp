#include "sysinfo/os_info.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <future>

#include "fakes/fake_platform.h"
#include "platform/wmi_deadline.h"
#include "sysinfo/os_type.h"

namespace {

TEST(OsType, CodesAreMatchedAsExactDecimalText) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"0", "Unknown"},  {"5", "DECNT "},    {"12", "OS/2"}, {"18", "WINNT"}, {"36", "LINUX"},
      {"50", "IxWorks"}, {"57", "Rhapsody"}, {"58", ""},     {"018", ""},     {" 18", ""},
      {"", ""},          {"-1", ""},         {"18.0", ""}};
  for (const auto& [code, name] : cases) EXPECT_EQ(fncGetOSType(code), name) << code;
}

WmiInstance Windows7() {
  return {{"Caption", " Microsoft Windows 7 Professional "},
          {"BuildNumber", "7601"},
          {"CSDVersion", std::nullopt},
          {"OSType", " 18"},
          {"Version", "6.1.7601"}};
}

class OsInfoWmi : public ::testing::Test {
 protected:
  void SetUp() override { run.fake.wmi.classes["Win32_OperatingSystem"] = {Windows7()}; }
  bool Ask(const std::string& name) { return fncGetOSInfoWMI(run.ctx, name, value, errorText); }
  FakeRun run;
  std::string value = "unchanged";
  std::string errorText;
};

TEST_F(OsInfoWmi, EachNameReadsItsPropertyTrimmed) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {" os ", "Microsoft Windows 7 Professional"},
      {"OSBUILDNUMBER", "7601"},
      {"oscsdversion", ""},  // Null: no service pack
      {"OSType", "WINNT"},
      {"OSVERSION", "6.1.7601"}};
  for (const auto& [name, expected] : cases) {
    value = "unchanged";
    EXPECT_TRUE(Ask(name)) << name;
    EXPECT_EQ(value, expected) << name;
  }
  EXPECT_EQ(errorText, "");
}

TEST_F(OsInfoWmi, OsTypeKeepsTrailingBlankOfItsName) {
  run.fake.wmi.classes["Win32_OperatingSystem"][0]["OSType"] = "5";
  EXPECT_TRUE(Ask("OSTYPE"));
  EXPECT_EQ(value, "DECNT ");
  run.fake.wmi.classes["Win32_OperatingSystem"][0]["OSType"] = "99";
  EXPECT_TRUE(Ask("OSTYPE"));
  EXPECT_EQ(value, "");
}

TEST_F(OsInfoWmi, UnknownNameOrEmptyCollectionGivesFalseAndKeepsValue) {
  EXPECT_FALSE(Ask("OSX"));
  EXPECT_EQ(value, "unchanged");
  run.fake.wmi.classes.clear();
  EXPECT_FALSE(Ask("OS"));
  EXPECT_EQ(value, "unchanged");
  EXPECT_EQ(errorText, "");
}

TEST_F(OsInfoWmi, LastInstanceWins) {
  WmiInstance second = Windows7();
  second["Caption"] = "Second";
  run.fake.wmi.classes["Win32_OperatingSystem"].push_back(second);
  EXPECT_TRUE(Ask("OS"));
  EXPECT_EQ(value, "Second");
}

TEST_F(OsInfoWmi, FailuresAreTrappedWithTheNameAsReceived) {
  run.fake.wmi.fails = true;
  EXPECT_FALSE(Ask(" os"));
  EXPECT_EQ(errorText, "Error while expanding the environmental variable  os, Access denied");
  EXPECT_EQ(run.LogMessages().back(), "ERR : in fncGetOSInfoWMI, " + errorText);

  // A property the class does not carry fails like a failing read.
  run.fake.wmi.fails = false;
  run.fake.wmi.classes["Win32_OperatingSystem"][0].erase("Version");
  errorText.clear();
  EXPECT_FALSE(Ask("OSVERSION"));
  EXPECT_EQ(errorText,
            "Error while expanding the environmental variable OSVERSION, Object doesn't support "
            "this property or method");
}

OsVersionInfo Version(std::uint32_t major, std::uint32_t minor, std::uint8_t productType,
                      std::uint16_t suite, std::uint32_t build = 2600) {
  OsVersionInfo v{};
  v.majorVersion = major;
  v.minorVersion = minor;
  v.buildNumber = build;
  v.platformId = 2;
  v.productType = productType;
  v.suiteMask = suite;
  return v;
}

class OsInfoApi : public ::testing::Test {
 protected:
  bool Ask(const std::string& name) { return fncGetOSInfoAPI(run.ctx, name, value, errorText); }
  FakeRun run;
  std::string value = "unchanged";
  std::string errorText;
};

TEST_F(OsInfoApi, ProductNameAndEditionFromTheExtendedRecord) {
  struct Case {
    OsVersionInfo version;
    const char* os;
  };
  const Case cases[] = {
      {Version(3, 51, 1, 0), "Microsoft Windows NT 3 Professional"},
      {Version(4, 0, 1, 0), "Microsoft Windows NT 4"},
      {Version(4, 0, 3, 0x0002), "Microsoft Windows NT 4"},
      {Version(5, 0, 1, 0), "Microsoft Windows 2000 Professional"},
      {Version(5, 0, 3, 0x0002), "Microsoft Windows 2000 Advanced Server"},
      {Version(5, 0, 3, 0x0082), "Microsoft Windows 2000 DataCenter Server"},
      {Version(5, 0, 2, 0x0080), "Microsoft Windows 2000 DataCenter Server"},
      {Version(5, 0, 2, 0), "Microsoft Windows 2000 Server"},
      {Version(5, 1, 1, 0x0200), "Microsoft Windows XP Home Edition"},
      {Version(5, 1, 1, 0), "Microsoft Windows XP Professional"},
      {Version(5, 2, 3, 0x0002), "Microsoft Windows 2003 Server"},
      {Version(5, 2, 3, 0), "Microsoft Windows 2003 Server"},
      {Version(5, 2, 2, 0), "Microsoft Windows 2003 Server"},
      {Version(5, 2, 2, 0x0002), "Microsoft Windows 2003 Server"},
      {Version(6, 0, 1, 0), "Microsoft Windows Vista Professional"},
      {Version(6, 0, 1, 0x0200), "Microsoft Windows Vista Home Edition"},
      {Version(6, 0, 3, 0x0002), "Microsoft Windows Server 2008 Advanced Server"},
      {Version(6, 0, 2, 0), "Microsoft Windows Server 2008"},
      {Version(6, 1, 3, 0x0080), "Microsoft Windows Server 2008 R2 DataCenter Server"},
      {Version(6, 1, 2, 0x0002), "Microsoft Windows Server 2008 R2"},
      {Version(6, 1, 1, 0), "Microsoft Windows 7 Professional"},
      {Version(6, 2, 1, 0), "Professional"},
      {Version(6, 2, 3, 0), "Server"},
      {Version(10, 0, 2, 0), ""},
  };
  for (const Case& c : cases) {
    run.fake.system.version = c.version;
    value = "unchanged";
    EXPECT_TRUE(Ask("OS"));
    EXPECT_EQ(value, c.os) << c.version.majorVersion << "." << c.version.minorVersion << " type "
                           << int(c.version.productType) << " suite " << c.version.suiteMask;
    EXPECT_TRUE(Ask("OSTYPE"));
    EXPECT_EQ(value, "WINNT");
  }
}

TEST_F(OsInfoApi, VersionBuildAndServicePackTexts) {
  run.fake.system.version = Version(5, 1, 1, 0, 2600);
  std::strcpy(run.fake.system.version.csdVersion, " Service Pack 3 ");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"OSVERSION", "5.1.2600"},
      {"osbuildnumber", "2600"},
      {" OSCSDVERSION ", " Service Pack 3 "}};  // the record's text is not trimmed
  for (const auto& [name, expected] : cases) {
    EXPECT_TRUE(Ask(name)) << name;
    EXPECT_EQ(value, expected) << name;
  }
  value = "unchanged";
  EXPECT_FALSE(Ask("COMPUTERNAME"));
  EXPECT_EQ(value, "unchanged");
}

TEST_F(OsInfoApi, VersionNumberUsesTheLocaleSeparator) {
  run.fake.system.version = Version(5, 1, 2, 0x0002);
  EXPECT_EQ(fncGetVersionNumber(run.ctx), "5.01");
  EXPECT_TRUE(Ask("OS"));
  EXPECT_EQ(value, "Microsoft Windows XP Advanced Server");

  // Under a comma locale the number reads 5,01 and the domain-controller words never come.
  run.fake.clock.decimalSeparator = ",";
  EXPECT_EQ(fncGetVersionNumber(run.ctx), "5,01");
  EXPECT_TRUE(Ask("OS"));
  EXPECT_EQ(value, "Microsoft Windows XP");

  run.fake.clock.decimalSeparator = ".";
  run.fake.system.version = Version(6, 1, 1, 0);
  EXPECT_EQ(fncGetVersionNumber(run.ctx), "6.01");
  run.fake.system.version = Version(5, 0, 1, 0);
  EXPECT_EQ(fncGetVersionNumber(run.ctx), "5.00");
}

TEST_F(OsInfoApi, OnlyTheNtFamilyIsAnswered) {
  for (std::uint32_t platform : {0u, 1u, 3u}) {
    run.fake.system.version = Version(5, 1, 1, 0);
    run.fake.system.version.platformId = platform;
    EXPECT_FALSE(Ask("OS")) << platform;
    EXPECT_EQ(value, "unchanged");
    EXPECT_EQ(errorText, "");
  }
}

TEST(OsInfo, WmiAnswerEndsTheLookup) {
  FakeRun run;
  run.fake.wmi.classes["Win32_OperatingSystem"] = {Windows7()};
  run.fake.system.version = Version(5, 1, 1, 0);
  std::string value, errorText;
  EXPECT_TRUE(fncGetOSInfo(run.ctx, "OS", value, errorText));
  EXPECT_EQ(value, "Microsoft Windows 7 Professional");
  EXPECT_EQ(run.LogMessages(),
            (std::vector<std::string>{"MSG : In fncGetOSInfo ", "MSG : In fncGetOSInfoWMI"}));
}

TEST(OsInfo, FailingWmiFallsBackToTheVersionFunctionsWithTheErrorCleared) {
  FakeRun run;
  run.fake.wmi.fails = true;
  run.fake.system.version = Version(5, 1, 1, 0x0200);
  std::string value, errorText;
  EXPECT_TRUE(fncGetOSInfo(run.ctx, "os", value, errorText));
  EXPECT_EQ(value, "Microsoft Windows XP Home Edition");
  EXPECT_EQ(errorText, "");
  EXPECT_EQ(run.LogMessages(),
            (std::vector<std::string>{
                "MSG : In fncGetOSInfo ", "MSG : In fncGetOSInfoWMI",
                "ERR : in fncGetOSInfoWMI, Error while expanding the environmental variable os, "
                "Access denied",
                "MSG : In fncGetOSInfoAPI", "MSG : OS Name :: Microsoft Windows XP Home Edition"}));
}

// A stuck WMI service: past the deadline the version functions answer, and a later query
// fails at once while the worker is still held.
TEST(OsInfo, StuckWmiFallsBackToTheVersionFunctionsAfterTheDeadline) {
  auto wmi = std::make_shared<FakeWmi>();
  std::promise<void> release;
  wmi->stuck = release.get_future().share();
  const auto bounded = WithDeadline(wmi, std::chrono::milliseconds(20));
  FakeRun run(*bounded);
  run.fake.system.version = Version(6, 1, 1, 0);
  std::string value, errorText;
  EXPECT_TRUE(fncGetOSInfo(run.ctx, "OS", value, errorText));
  EXPECT_TRUE(fncGetOSInfo(run.ctx, "OSVERSION", value, errorText));
  release.set_value();
  const auto log = run.LogMessages();
  const std::string failed =
      "ERR : in fncGetOSInfoWMI, Error while expanding the environmental variable ";
  EXPECT_EQ(log.at(2), failed + "OS, WMI did not answer within 20 ms, the query was given up");
  EXPECT_EQ(log.at(7),
            failed + "OSVERSION, WMI is still held by a query that did not end within 20 ms");
  EXPECT_EQ(log.at(9), "MSG : OS Name :: 6.1.2600");
}

TEST(OsInfo, BothSourcesDecliningGiveFalseWithoutErrorText) {
  FakeRun run;  // no WMI instances, platform id 0 (as on POSIX)
  std::string value = "unchanged", errorText;
  EXPECT_FALSE(fncGetOSInfo(run.ctx, "OSVERSION", value, errorText));
  EXPECT_EQ(value, "unchanged");
  EXPECT_EQ(errorText, "");
}

}  // namespace
