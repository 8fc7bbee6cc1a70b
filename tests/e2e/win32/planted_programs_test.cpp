// Under Wine: programs planted in the program's folder and in the current folder under the
// names a run starts (regsvr32, cmd) or has the command interpreter start (ipconfig,
// nbtstat) are never run; a program folder whose name holds the interpreter's special
// characters still gets its address from the console lookup.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "e2e/agent_install.h"
#include "e2e/host_facts.h"
#include "fakes/in_order.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

const char* const kPlanted[] = {"regsvr32.exe", "cmd.exe", "ipconfig.exe", "nbtstat.exe"};

void Plant(const fs::path& folder) {
  for (const char* name : kPlanted)
    fs::copy_file(BuildFolder() / "planted" / name, folder / name,
                  fs::copy_options::overwrite_existing);
}

// Every marker a planted program left anywhere in the tree.
std::vector<fs::path> Markers(const fs::path& root) {
  std::vector<fs::path> found;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.path().extension() == ".ran") found.push_back(entry.path());
  return found;
}

std::set<fs::path> Entries(const fs::path& folder) {
  std::set<fs::path> entries;
  for (const auto& e : fs::directory_iterator(folder)) entries.insert(e.path());
  return entries;
}

// Runs %IPADDRESS% with the current folder set to cwd, then checks the address came from
// the ipconfig lookup and is one that ipconfig printed into the scratch file.
void RunAddressLookup(AgentInstall& agent, const fs::path& cwd) {
  const fs::path before = fs::current_path();
  fs::current_path(cwd);
  // Started as an agent starts it: the run inherits the current folder.
  const auto codes = test_support::RunTogether(agent.ExePath().string(), {"%IPADDRESS%"}, 120000);
  fs::current_path(before);
  ASSERT_EQ(codes, std::vector<long>{0});

  const auto log = agent.AllLogMessages();
  // Wine answers the host-name lookup with the loopback address, so the ipconfig lookup
  // must run; if it did not, this test proves nothing and says so.
  ASSERT_TRUE(
      InOrder(log, {"MSG : API IP :: ", "MSG : Executing procedure :: SubGetIPFromIPConfig"}))
      << "the console lookup did not run";
  const auto shell = std::find_if(log.begin(), log.end(), [](const std::string& m) {
    return m.rfind("MSG : Executing shell for ", 0) == 0;
  });
  ASSERT_NE(shell, log.end());
  // The system's own interpreter (without AutoRun) and ipconfig, by their full paths.
  EXPECT_NE(shell->find("32\\cmd.exe /d /c C:\\windows\\system32\\ipconfig.exe >\""),
            std::string::npos)
      << *shell;

  const auto result = agent.Result();
  ASSERT_TRUE(result.has_value());
  ASSERT_GT(result->size(), 2u) << "no address found";
  // What ipconfig lists, read by the run from a scratch file of its own that it removed.
  EXPECT_EQ(result->substr(0, result->size() - 2), host::IpAddress());
  for (const auto& e : fs::directory_iterator(agent.BinDir()))
    EXPECT_EQ(e.path().filename().string().rfind("IPData", 0), std::string::npos) << e.path();
  EXPECT_EQ(std::count(log.begin(), log.end(), "MSG : Executing procedure :: SubGetIPFromNbtStat"),
            0);
}

TEST(PlantedPrograms, InTheProgramsAndTheCurrentFolderAreNeverStarted) {
  AgentInstall agent;
  const fs::path cwd = agent.Root() / "cwd";
  fs::create_directories(cwd);
  Plant(agent.BinDir());
  Plant(cwd);
  RunAddressLookup(agent, cwd);
  EXPECT_TRUE(Markers(agent.Root()).empty()) << Markers(agent.Root()).front();
}

TEST(PlantedPrograms, AProgramFolderNamedWithTheInterpretersSpecialCharacters) {
  // "&" and "^" would split or escape an unquoted command; "%OS%" names a variable the
  // interpreter would expand.
  AgentInstall agent("p & q ^ 50% x %OS% y");
  const fs::path cwd = agent.Root() / "cwd";
  fs::create_directories(cwd);
  Plant(agent.BinDir());
  Plant(cwd);
  const std::set<fs::path> before = Entries(agent.Root());
  RunAddressLookup(agent, cwd);
  EXPECT_TRUE(Markers(agent.Root()).empty()) << Markers(agent.Root()).front();
  // A split command would leave its output under a piece of the name.
  EXPECT_EQ(before, Entries(agent.Root()));
  std::vector<fs::path> inCwd;
  for (const auto& e : fs::directory_iterator(cwd))
    if (e.path().extension() != ".exe") inCwd.push_back(e.path());
  EXPECT_TRUE(inCwd.empty()) << inCwd.front();
}

}  // namespace
