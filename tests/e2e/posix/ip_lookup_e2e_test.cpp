// IPADDRESS on a machine whose interfaces give no address: qEnv run in a network namespace
// of its own (unshare -n: only a loopback interface, down), so the host-name lookup finds
// nothing and both console lookups run through /bin/sh, where neither command exists.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "../agent_install.h"
#include "fakes/in_order.h"

namespace fs = std::filesystem;

namespace {

bool CanUnshareNetwork() {
  return std::system("/usr/bin/unshare -n true >/dev/null 2>&1") == 0;
}

// Runs %IPADDRESS% `runs` times at once, each offline, from a shell in cwd with that PATH.
// Then checks each lookup's line quotes its own command's "not found" (the shells' words
// differ), its scratch file was one of its own, and none is left. Returns the log.
std::vector<std::string> RunOffline(const AgentInstall& agent, int runs, const fs::path& cwd = "/",
                                    const std::string& path = "/usr/bin:/bin") {
  std::string line = "cd '" + cwd.string() + "' && PATH='" + path + "' && export PATH && (";
  for (int i = 0; i < runs; ++i)
    line += "/usr/bin/unshare -n '" + agent.ExePath().string() + "' '%IPADDRESS%' & ";
  EXPECT_EQ(std::system((line + "wait)").c_str()), 0) << line;
  EXPECT_EQ(agent.Result(), "ERR : Env Varibale value is blank\r\n");
  const auto log = agent.AllLogMessages();
  std::set<std::string> scratch;
  for (const std::string command : {"ipconfig", "NBTSTAT -A"}) {
    const std::string shell = "MSG : Executing shell for /bin/sh -c " + command + " >'" +
                              (agent.BinDir() / "IPData.").string();
    const std::string wrote = "MSG : " + command + " gave no address, it wrote: ";
    int shells = 0, found = 0;
    for (const std::string& m : log) {
      if (m.rfind(shell, 0) == 0 && m.size() == shell.size() + 22 && ++shells) {
        scratch.insert(m.substr(shell.size(), 12));
      }
      if (m.rfind(wrote, 0) == 0 && ++found) {
        EXPECT_NE(m.find(command.substr(0, command.find(' ')), wrote.size()), std::string::npos);
        EXPECT_NE(m.find("not found"), std::string::npos) << m;
      }
    }
    EXPECT_EQ(shells, runs) << command;
    EXPECT_EQ(found, runs) << command;
  }
  EXPECT_EQ(scratch.size(), 2u * runs) << "a lookup used another's scratch file";
  for (const auto& e : fs::directory_iterator(agent.BinDir()))
    EXPECT_EQ(e.path().filename().string().rfind("IPData", 0), std::string::npos) << e.path();
  return log;
}

TEST(IpLookupWithoutNetwork, ConsoleLookupsSayTheCommandIsMissing) {
  if (!CanUnshareNetwork()) GTEST_SKIP() << "no network namespace can be made here";
  AgentInstall agent;
  EXPECT_TRUE(
      InOrder(RunOffline(agent, 1),
              {"MSG : Executing procedure :: SubGetIPFromAPI",
               "MSG : API IP :: ", "MSG : Executing procedure :: SubGetIPFromIPConfig",
               "MSG : Executing procedure :: SubGetIPFromNbtStat", "MSG : Expanded Value :: "}));
}

// Programs named like the console commands, in a folder of the caller's PATH and in the
// caller's current folder (named by "." in PATH), never run as the run's account.
TEST(IpLookupWithoutNetwork, PlantedCommandsInPathAndCurrentFolderNeverRun) {
  if (!CanUnshareNetwork()) GTEST_SKIP() << "no network namespace can be made here";
  AgentInstall agent;
  const fs::path marker = agent.Root() / "planted.ran";
  for (const fs::path& folder : {agent.Root() / "onpath", agent.Root() / "cwd"})
    for (const char* name : {"ipconfig", "NBTSTAT"}) {
      fs::create_directories(folder);
      std::ofstream(folder / name) << "#!/bin/sh\necho $0 >>'" << marker.string() << "'\n";
      fs::permissions(folder / name, fs::perms::all);
    }
  RunOffline(agent, 1, agent.Root() / "cwd", (agent.Root() / "onpath").string() + ":.:/bin");
  EXPECT_FALSE(fs::exists(marker)) << ReadBytes(marker);
}

}  // namespace
