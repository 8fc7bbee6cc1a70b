// Under Wine, told to look in a program's own folder first for the system DLLs that qEnv
// uses beyond kernel32, advapi32 and the C runtime (as Windows does for DLLs outside its
// known list): marker DLLs of those names beside qEnv.exe and in the current folder are
// never loaded by runs that need each of them, and the runs still give the right results.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "e2e/agent_install.h"
#include "e2e/host_facts.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> Markers(const fs::path& root) {
  std::vector<fs::path> found;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.path().extension() == ".loaded") found.push_back(entry.path());
  return found;
}

TEST(PlantedDlls, BesideTheProgramAndInTheCurrentFolderAreNeverLoaded) {
  // Wine's value is "%USERPROFILE%\Desktop"; qEnv puts the profile folder in its place.
  std::string desktop =
      host::RegistryText(
          "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
          "Desktop")
          .value_or("");
  if (desktop.rfind("%USERPROFILE%", 0) == 0) desktop = host::ProfileFolder() + desktop.substr(13);
  // What Wine's own programs say, asked before the overrides are set.
  const std::pair<const char*, std::string> cases[] = {
      {"%COMPUTERNAME%", host::ComputerName()},  // the start-up alone: version.dll
      {"%OS%", host::Os().caption},              // WMI: ole32, oleaut32
      {"%IPADDRESS%", host::IpAddress()},        // wsock32, then ipconfig
      {"%SHELLDESKTOP%", desktop},               // userenv for the profile folder
  };
  for (const auto& c : cases) ASSERT_FALSE(c.second.empty()) << c.first;
  AgentInstall agent;
  const fs::path cwd = agent.Root() / "cwd";
  fs::create_directories(cwd);
  for (const fs::path& folder : {agent.BinDir(), cwd})
    for (const auto& dll : fs::directory_iterator(BuildFolder() / "planted-dll"))
      if (dll.path().extension() == ".dll")
        fs::copy_file(dll.path(), folder / dll.path().filename());

  test_support::SetProcessVariable("WINEDLLOVERRIDES",
                                   "version,userenv,wsock32,shell32,ole32,oleaut32,user32=n,b");
  const fs::path before = fs::current_path();
  fs::current_path(cwd);  // started as an agent starts it: the run inherits it
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    for (const fs::path& log : agent.LogFiles()) fs::remove(log);
    EXPECT_EQ(test_support::RunTogether(agent.ExePath().string(), {text}, 120000),
              std::vector<long>{0});
    EXPECT_EQ(agent.Result().value_or(""), expected + "\r\n");
    // The start-up's own version read goes through version.dll.
    const auto log = agent.AllLogMessages();
    EXPECT_NE(std::find(log.begin(), log.end(), "MSG : Exe Version :: " QENV_VERSION), log.end());
    EXPECT_EQ(Markers(agent.Root()), std::vector<fs::path>{});
  }
  fs::current_path(before);
  test_support::UnsetProcessVariable("WINEDLLOVERRIDES");
}

}  // namespace
