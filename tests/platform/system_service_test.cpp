// The real System service of this build against the contract the program relies on: the
// ANSI calls' buffer and length rules and their error codes. Message texts are never
// compared: Wine's and Windows' differ.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/environment.h"
#include "platform/service_factories.h"
#include "platform/system.h"

namespace {
namespace fs = std::filesystem;

class SystemService : public ::testing::Test {
 protected:
  std::unique_ptr<System> system = CreateSystem();
};

TEST_F(SystemService, NameCallsReportLengthsAndNeededSizes) {
  char buf[256];
  std::uint32_t size = sizeof buf;
  ASSERT_TRUE(system->GetComputerName(buf, size));
  const std::string computer(buf);
  ASSERT_FALSE(computer.empty());
  EXPECT_EQ(size, computer.size());  // without the NUL
  size = static_cast<std::uint32_t>(computer.size());
  EXPECT_FALSE(system->GetComputerName(buf, size));
  EXPECT_EQ(system->GetLastError(), 111u);
  EXPECT_EQ(size, computer.size() + 1);

  size = sizeof buf;
  ASSERT_TRUE(system->GetUserName(buf, size));
  const std::string user(buf);
  ASSERT_FALSE(user.empty());
  EXPECT_EQ(size, user.size() + 1);  // with the NUL
  size = static_cast<std::uint32_t>(user.size());
  EXPECT_FALSE(system->GetUserName(buf, size));
  EXPECT_EQ(system->GetLastError(), 122u);
  EXPECT_EQ(size, user.size() + 1);
}

TEST_F(SystemService, ProfileDirectoryThroughTheProcessToken) {
  std::uintptr_t token = 0;
  ASSERT_TRUE(system->OpenProcessToken(8, token));
  char profile[255] = {};
  std::uint32_t size = sizeof profile;
  ASSERT_TRUE(system->GetUserProfileDirectory(token, profile, size));
  EXPECT_TRUE(fs::is_directory(profile)) << profile;
  size = static_cast<std::uint32_t>(std::string(profile).size());
  EXPECT_FALSE(system->GetUserProfileDirectory(token, profile, size));
  EXPECT_EQ(system->GetLastError(), 122u);
  system->CloseToken(token);
}

TEST_F(SystemService, ShortPathNamesTheSameFileAndReportsFailures) {
  const fs::path folder = fs::temp_directory_path() / "qenv system test folder";
  fs::create_directories(folder);
  const std::string file = (folder / "a long file name.txt").string();
  std::ofstream(file) << "x";

  char buf[501] = {};
  const std::uint32_t n = system->GetShortPathName(file, buf, 500);
  ASSERT_GT(n, 1u);
  ASSERT_EQ(std::string(buf).size(), n);
  EXPECT_TRUE(fs::equivalent(buf, file));
  char again[501] = {};
  EXPECT_EQ(system->GetShortPathName(buf, again, 500), n);     // a short form is its own
  EXPECT_EQ(system->GetShortPathName(file, again, 3), n + 1);  // too small: the size needed

  EXPECT_EQ(system->GetShortPathName((folder / "missing").string(), buf, 164), 0u);
  EXPECT_EQ(system->GetLastError(), 2u);
  EXPECT_EQ(system->GetShortPathName("", buf, 164), 0u);
  EXPECT_EQ(system->GetLastError(), 161u);
  fs::remove_all(folder);
}

TEST_F(SystemService, SystemFolderAndCsidlSystemAreOneFolderOrBothMissing) {
  char buf[256] = {};
  const std::uint32_t n = system->GetSystemDirectory(buf, 255);
  std::string special;
  const long hr = system->GetSpecialFolderPath(37, special);
  EXPECT_EQ(n == 0, hr != 0);
  if (n == 0) {
    EXPECT_EQ(special, "");
    return;
  }
  EXPECT_EQ(std::string(buf).size(), n);
  EXPECT_TRUE(fs::equivalent(buf, special));
  EXPECT_NE(special.back(), '\\');
}

TEST_F(SystemService, MessagesForEveryCodeTheProgramMeets) {
  for (std::uint32_t code :
       {0u, 2u, 3u, 5u, 6u, 8u, 13u, 32u, 87u, 111u, 122u, 161u, 234u, 259u, 1008u, 1010u, 1018u}) {
    char buf[257] = {};
    const std::uint32_t n = system->FormatMessage(code, buf, 200);
    const std::string text(buf);
    ASSERT_GT(n, 2u) << code;
    EXPECT_EQ(text.size(), n) << code;
    EXPECT_EQ(text.substr(n - 2), "\r\n") << code;
  }
  char buf[257] = {};
  EXPECT_EQ(system->FormatMessage(99999, buf, 200), 0u);
  EXPECT_EQ(system->GetLastError(), 317u);
  EXPECT_EQ(system->FormatMessage(32, buf, 10), 0u);
  EXPECT_EQ(system->GetLastError(), 122u);
}

// A message with an insert ("Insert disk for drive %1.") keeps it as text: no argument
// list is read that was never passed.
TEST_F(SystemService, MessageWithAnInsertKeepsItAsText) {
  char buf[257] = {};
  const std::uint32_t n = system->FormatMessage(107, buf, 200);
  if (n == 0) GTEST_SKIP() << "this system has no text for code 107 (the POSIX stand-in)";
  EXPECT_NE(std::string(buf, n).find("%1"), std::string::npos) << buf;
}

TEST_F(SystemService, ExpandReplacesSetNamesInAnyCaseAndKeepsTheRest) {
  const std::string path = CreateEnvironment()->GetVariable("PATH");
  ASSERT_FALSE(path.empty());
  const std::string unset = "%QENV_SURELY_UNSET_VARIABLE%";
  const std::pair<std::string, std::string> cases[] = {
      {"[%PaTh%]", "[" + path + "]"},
      {"%path%%PATH%", path + path},
      {unset + "\\x", unset + "\\x"},
      // An unknown name stays whole; the scan goes on after its closing sign.
      {unset + "PATH%", unset + "PATH%"},
      {unset + "%PATH%", unset + path},
      {"%%PATH%", "%%PATH%"},
      {"100%", "100%"},
      {"", ""},
  };
  for (const auto& [source, expanded] : cases) {
    std::string out(8192, '\0');
    EXPECT_EQ(system->ExpandEnvironmentStrings(source, out.data(), 8192), expanded.size() + 1);
    EXPECT_EQ(out.c_str(), expanded) << source;
  }
  char small[4];
  EXPECT_EQ(system->ExpandEnvironmentStrings("%PATH%", small, 4), path.size() + 1);
}

}  // namespace
