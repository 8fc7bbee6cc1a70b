// The real System service of this build, checked against the contract the program relies
// on: the ANSI calls' buffer and length rules and their error codes. Message texts are
// only compared where they come from this project, never Wine's or Windows' own.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/environment.h"
#include "platform/service_factories.h"
#include "platform/system.h"

namespace {

class SystemService : public ::testing::Test {
 protected:
  std::unique_ptr<System> system = CreateSystem();
};

TEST_F(SystemService, ComputerNameFollowsTheSizeRules) {
  char name[256];
  std::uint32_t size = sizeof name;
  ASSERT_TRUE(system->GetComputerName(name, size));
  const std::string computer(name);
  ASSERT_FALSE(computer.empty());
  EXPECT_EQ(size, computer.size());

  char small[256];
  size = static_cast<std::uint32_t>(computer.size());  // no room for the NUL
  EXPECT_FALSE(system->GetComputerName(small, size));
  EXPECT_EQ(system->GetLastError(), 111u);
  EXPECT_EQ(size, computer.size() + 1);

  size = static_cast<std::uint32_t>(computer.size() + 1);
  ASSERT_TRUE(system->GetComputerName(small, size));
  EXPECT_EQ(std::string(small), computer);
}

TEST_F(SystemService, UserNameCountsItsNul) {
  char name[256];
  std::uint32_t size = sizeof name;
  ASSERT_TRUE(system->GetUserName(name, size));
  const std::string user(name);
  ASSERT_FALSE(user.empty());
  EXPECT_EQ(size, user.size() + 1);

  size = static_cast<std::uint32_t>(user.size());
  EXPECT_FALSE(system->GetUserName(name, size));
  EXPECT_EQ(system->GetLastError(), 122u);
  EXPECT_EQ(size, user.size() + 1);
}

TEST_F(SystemService, VersionRecordAndGetVersionAgree) {
  for (std::uint32_t recordSize : {156u, 148u}) {
    OsVersionInfo record;
    record.osVersionInfoSize = recordSize;
    record.platformId = 99;
    if (system->GetVersionEx(record)) {
      EXPECT_EQ(record.platformId, 2u);
      const std::uint32_t packed = system->GetVersion();
      EXPECT_EQ(packed & 0xFF, record.majorVersion);
      EXPECT_EQ((packed >> 8) & 0xFF, record.minorVersion);
    } else {
      // No version record: the identifier reads 0, and so does GetVersion.
      EXPECT_EQ(record.platformId, 0u);
      EXPECT_EQ(system->GetVersion(), 0u);
    }
  }
  OsVersionInfo wrongSize;
  wrongSize.osVersionInfoSize = 100;
  EXPECT_FALSE(system->GetVersionEx(wrongSize));
}

TEST_F(SystemService, ProfileDirectoryThroughTheProcessToken) {
  std::uintptr_t token = 0;
  ASSERT_TRUE(system->OpenProcessToken(8, token));
  ASSERT_NE(token, 0u);
  char profile[255] = {};
  std::uint32_t size = sizeof profile;
  ASSERT_TRUE(system->GetUserProfileDirectory(token, profile, size));
  const std::string folder(profile);
  EXPECT_FALSE(folder.empty());
  EXPECT_TRUE(std::filesystem::is_directory(folder)) << folder;

  size = static_cast<std::uint32_t>(folder.size());
  EXPECT_FALSE(system->GetUserProfileDirectory(token, profile, size));
  EXPECT_EQ(system->GetLastError(), 122u);
  EXPECT_GE(size, folder.size() + 1);
  system->CloseToken(token);
}

class ShortPath : public SystemService {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() / "qenv system test folder";
    std::filesystem::create_directories(folder);
    file = (folder / "a long file name.txt").string();
    std::ofstream(file) << "x";
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
  std::filesystem::path folder;
  std::string file;
};

TEST_F(ShortPath, ExistingPathHasAShortFormThatNamesTheSameFile) {
  char buffer[501] = {};
  const std::uint32_t n = system->GetShortPathName(file, buffer, 500);
  ASSERT_GT(n, 0u);
  ASSERT_LT(n, 500u);
  const std::string shortForm(buffer);
  EXPECT_EQ(shortForm.size(), n);
  EXPECT_TRUE(std::filesystem::equivalent(shortForm, file));

  // The short form of the short form is itself.
  char again[501] = {};
  EXPECT_EQ(system->GetShortPathName(shortForm, again, 500), n);
  EXPECT_EQ(std::string(again), shortForm);
}

TEST_F(ShortPath, TooSmallBufferReportsTheSizeNeeded) {
  char full[501] = {};
  const std::uint32_t n = system->GetShortPathName(file, full, 500);
  ASSERT_GT(n, 1u);
  char small[4] = {'#', '#', '#', '#'};
  EXPECT_EQ(system->GetShortPathName(file, small, 3), n + 1);
}

TEST_F(ShortPath, MissingOrEmptyPathAnswersZeroAndItsCode) {
  char buffer[165] = {};
  EXPECT_EQ(system->GetShortPathName((folder / "missing.txt").string(), buffer, 164), 0u);
  EXPECT_EQ(system->GetLastError(), 2u);
  EXPECT_EQ(system->GetShortPathName("", buffer, 164), 0u);
  EXPECT_EQ(system->GetLastError(), 161u);
}

TEST_F(SystemService, SystemFolderAndCsidlSystemAreTheSame) {
  char buffer[256] = {};
  const std::uint32_t n = system->GetSystemDirectory(buffer, 255);
  std::string special;
  const long hr = system->GetSpecialFolderPath(37, special);
  if (n == 0) {
    EXPECT_NE(hr, 0);
    EXPECT_EQ(special, "");
    return;
  }
  ASSERT_EQ(hr, 0);
  EXPECT_EQ(std::strlen(buffer), n);
  EXPECT_TRUE(std::filesystem::equivalent(std::string(buffer), special));
  EXPECT_NE(special.back(), '\\');
}

TEST_F(SystemService, MessagesForTheCodesTheProgramMeets) {
  for (std::uint32_t code :
       {0u, 2u, 3u, 5u, 6u, 8u, 13u, 32u, 87u, 111u, 122u, 234u, 259u, 1008u, 1010u, 1018u}) {
    char buffer[257] = {};
    const std::uint32_t n = system->FormatMessage(code, buffer, 200);
    ASSERT_GT(n, 2u) << code;
    const std::string text(buffer);
    EXPECT_EQ(text.size(), n) << code;
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << code;
  }
  char buffer[257] = {};
  EXPECT_EQ(system->FormatMessage(99999, buffer, 200), 0u);
  EXPECT_EQ(system->GetLastError(), 317u);
}

TEST_F(SystemService, MessageLongerThanTheBufferIsRefused) {
  char buffer[257] = {};
  EXPECT_EQ(system->FormatMessage(32, buffer, 10), 0u);
  EXPECT_EQ(system->GetLastError(), 122u);
}

class Expand : public SystemService {
 protected:
  std::string Run(const std::string& source, std::uint32_t& n) {
    std::string out(4096, '\0');
    n = system->ExpandEnvironmentStrings(source, out.data(), 4096);
    return out.c_str();
  }
  std::unique_ptr<Environment> environment = CreateEnvironment();
};

TEST_F(Expand, SetNamesAnyCaseAreReplacedOthersStayAsWritten) {
  const std::string path = environment->GetVariable("PATH");
  ASSERT_FALSE(path.empty());
  ASSERT_LT(path.size(), 3000u);
  struct Case {
    std::string source;
    std::string expanded;
  };
  const Case cases[] = {
      {"%path%", path},
      {"[%PaTh%]", "[" + path + "]"},
      {"%QENV_SURELY_UNSET_VARIABLE%\\x", "%QENV_SURELY_UNSET_VARIABLE%\\x"},
      // An unknown name stays whole and the scan goes on after its closing sign.
      {"%QENV_SURELY_UNSET_VARIABLE%PATH%", "%QENV_SURELY_UNSET_VARIABLE%PATH%"},
      {"%QENV_SURELY_UNSET_VARIABLE%%PATH%", "%QENV_SURELY_UNSET_VARIABLE%" + path},
      {"%%PATH%", "%%PATH%"},
      {"%PATH%%path%", path + path},
      {"100%", "100%"},
      {"a%b", "a%b"},
      {"%%%", "%%%"},
      {"", ""},
  };
  for (const Case& c : cases) {
    std::uint32_t n = 0;
    EXPECT_EQ(Run(c.source, n), c.expanded) << c.source;
    EXPECT_EQ(n, c.expanded.size() + 1) << c.source;
  }
}

TEST_F(Expand, TooSmallDestinationReportsTheLengthNeeded) {
  const std::string path = environment->GetVariable("PATH");
  ASSERT_GT(path.size(), 4u);
  char small[4] = {};
  EXPECT_EQ(system->ExpandEnvironmentStrings("%PATH%", small, sizeof small), path.size() + 1);
}

}  // namespace
