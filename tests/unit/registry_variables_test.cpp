// The variables whose values come from registry values: shell folders, COMSPEC and the
// product type of systems without the extended version record (the domain's fallback is
// with the domain's cases in identity_test.cpp).
#include <gtest/gtest.h>

#include <cstring>

#include "expand/catalogue_delegating.h"
#include "fakes/fake_platform.h"
#include "sysinfo/os_info.h"

namespace {

using Entry = bool (*)(RunContext&, const std::string&, std::string&, std::string&);

const char kShellFolders[] =
    "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const char kEnvironment[] =
    "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
const char kProductOptions[] = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\ProductOptions";

TEST(ShellFolders, EachNameReadsItsValueWithTheProfileInPlace) {
  const std::vector<std::pair<Entry, std::string>> entries = {
      {catalogue::ShellCache, "cache"},          {catalogue::ShellCookies, "Cookies"},
      {catalogue::ShellDesktop, "Desktop"},      {catalogue::ShellFavorites, "Favorites"},
      {catalogue::ShellHistory, "History"},      {catalogue::ShellMyPictures, "My Pictures"},
      {catalogue::ShellPersonal, "Personal"},    {catalogue::ShellPrograms, "Programs"},
      {catalogue::ShellRecent, "Recent"},        {catalogue::ShellSendTo, "SendTo"},
      {catalogue::ShellStartMenu, "Start Menu"}, {catalogue::ShellStartup, "Startup"}};
  FakeRun run;
  // Every spelling of the reference is replaced; other references stay as stored.
  for (const auto& [entry, valueName] : entries)
    run.fake.registry.SetString(kShellFolders, valueName,
                                "%USERPROFILE%\\" + valueName + ";%userProfile%;%TEMP%", 2);
  for (const auto& [entry, valueName] : entries) {
    std::string value, errorText = "left by an earlier entry";
    EXPECT_TRUE(entry(run.ctx, "x", value, errorText)) << valueName;
    EXPECT_EQ(value, "C:\\Users\\operator\\" + valueName + ";C:\\Users\\operator;%TEMP%");
    EXPECT_EQ(errorText, "");
  }
}

TEST(ShellFolders, MissingValueFailsWithTheRegistryErrorAndProfileErrorsAreDropped) {
  FakeRun run;
  run.fake.system.tokenOpens = false;
  run.fake.registry.SetString(kShellFolders, "Desktop", "%USERPROFILE%\\Desktop");
  std::string value, errorText;
  EXPECT_TRUE(catalogue::ShellDesktop(run.ctx, "SHELLDESKTOP", value, errorText));
  EXPECT_EQ(value, "\\Desktop");  // no profile: the reference gives ""
  EXPECT_FALSE(catalogue::ShellRecent(run.ctx, "SHELLRECENT", value, errorText));
  EXPECT_EQ(errorText, "2-The system cannot find the file specified.");
}

TEST(ComSpec, StoredTextUnexpandedAndNameAsWritten) {
  FakeRun run;
  run.fake.registry.SetString(kEnvironment, "ComSpec", "%SystemRoot%\\system32\\cmd.exe", 2);
  std::string value, errorText;
  EXPECT_TRUE(catalogue::ComSpec(run.ctx, "comspec", value, errorText));
  EXPECT_EQ(value, "%SystemRoot%\\system32\\cmd.exe");
  // Blanks inside the token name another registry value: empty, False, no error text.
  value = "old";
  EXPECT_FALSE(catalogue::ComSpec(run.ctx, " COMSPEC ", value, errorText));
  EXPECT_EQ(value, "");
  EXPECT_EQ(errorText, "");
  run.fake.registry.SetString(kEnvironment, "ComSpec", "   ");
  EXPECT_FALSE(catalogue::ComSpec(run.ctx, "COMSPEC", value, errorText));
  EXPECT_EQ(errorText, "");
}

TEST(ProductTypeValue, EditionOfSystemsWithoutTheExtendedRecord) {
  struct Case {
    std::uint32_t major, minor;
    const char* stored;
    const char* os;
    const char* type;
  };
  const Case cases[] = {
      {4, 0, "WinNT", "Microsoft Windows NT 4 Professional", "WINNT"},
      {4, 0, "LanmanNT", "Microsoft Windows NT 4 Server", "LANMANNT"},
      {4, 0, "ServerNT", "Microsoft Windows NT 4 Advanced Server", "SERVERNT"},
      {4, 0, "Other", "Microsoft Windows NT 4", ""},
      {3, 51, nullptr, "Microsoft Windows NT 3", ""},
      {5, 0, "LANMANNT", "Microsoft Windows 2000 Server", "LANMANNT"},
  };
  for (const Case& c : cases) {
    FakeRun run;
    run.fake.system.extendedRecord = false;
    run.fake.system.version.majorVersion = c.major;
    run.fake.system.version.minorVersion = c.minor;
    run.fake.system.version.platformId = 2;
    run.fake.system.version.productType = 3;  // not seen through the short record
    run.fake.system.version.suiteMask = 0x0002;
    if (c.stored) run.fake.registry.SetString(kProductOptions, "ProductType", c.stored);
    std::string value, errorText;
    EXPECT_TRUE(fncGetOSInfoAPI(run.ctx, "OS", value, errorText));
    EXPECT_EQ(value, c.os) << c.stored;
    EXPECT_TRUE(fncGetOSInfoAPI(run.ctx, "OSTYPE", value, errorText));
    EXPECT_EQ(value, c.type) << c.stored;
  }
}

}  // namespace
