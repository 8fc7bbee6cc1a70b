// Under Wine, told to look in a program's own folder first for the system DLLs that qEnv
// uses beyond kernel32, advapi32 and the C runtime (as Windows does for DLLs outside its
// known list): marker DLLs of those names beside qEnv.exe and in the current folder are
// never loaded, by runs that need each of them, and the runs still give the right results.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "e2e/agent_install.h"
#include "e2e/host_facts.h"
#include "platform/test_support.h"

namespace fs = std::filesystem;

namespace {

const char* const kPlanted[] = {"version.dll", "userenv.dll",  "wsock32.dll", "shell32.dll",
                                "ole32.dll",   "oleaut32.dll", "user32.dll",  "gdi32.dll"};
const char kOverrides[] = "version,userenv,wsock32,shell32,ole32,oleaut32,user32=n,b";

void Plant(const fs::path& folder) {
  for (const char* name : kPlanted)
    fs::copy_file(BuildFolder() / "planted-dll" / name, folder / name,
                  fs::copy_options::overwrite_existing);
}

std::vector<fs::path> Markers(const fs::path& root) {
  std::vector<fs::path> found;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.path().extension() == ".loaded") found.push_back(entry.path());
  return found;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// The desktop folder as qEnv builds it: the stored path, its %USERPROFILE% replaced.
std::string Desktop() {
  std::string stored = host::RegistryText(
                           "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User "
                           "Shell Folders",
                           "Desktop")
                           .value_or("");
  const std::size_t at = Upper(stored).find("%USERPROFILE%");
  if (at != std::string::npos) stored.replace(at, 13, host::ProfileFolder());
  return stored;
}

TEST(PlantedDlls, BesideTheProgramAndInTheCurrentFolderAreNeverLoaded) {
  struct Case {
    const char* text;
    std::string expected;
  };
  // What Wine's own programs say, asked before the overrides are set.
  const Case cases[] = {
      {"%COMPUTERNAME%", host::ComputerName()},  // the start-up alone: version.dll
      {"%OS%", host::Os().caption},              // WMI: ole32, oleaut32
      {"%IPADDRESS%", host::IpAddress()},        // wsock32, then ipconfig
      {"%SHELLDESKTOP%", Desktop()},             // userenv for the profile folder
  };
  for (const Case& c : cases) ASSERT_FALSE(c.expected.empty()) << c.text;

  AgentInstall agent;
  const fs::path cwd = agent.Root() / "cwd";
  fs::create_directories(cwd);
  Plant(agent.BinDir());
  Plant(cwd);

  test_support::SetProcessVariable("WINEDLLOVERRIDES", kOverrides);
  const fs::path before = fs::current_path();
  fs::current_path(cwd);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    for (const fs::path& log : agent.LogFiles()) fs::remove(log);
    // Started as an agent starts it: the run inherits the current folder.
    const auto codes = test_support::RunTogether(agent.ExePath().string(), {c.text}, 120000);
    EXPECT_EQ(codes, std::vector<long>{0});
    EXPECT_EQ(agent.Result().value_or(""), c.expected + "\r\n");
    // The start-up's own version read goes through version.dll.
    const auto log = agent.AllLogMessages();
    EXPECT_NE(std::find(log.begin(), log.end(), "MSG : Exe Version :: " QENV_VERSION), log.end());
    const auto markers = Markers(agent.Root());
    EXPECT_TRUE(markers.empty()) << markers.front();
  }
  fs::current_path(before);
  test_support::UnsetProcessVariable("WINEDLLOVERRIDES");
}

}  // namespace
