// IPADDRESS on a machine whose interfaces give no address: qEnv run in a network namespace
// of its own (unshare -n: only a loopback interface, down), so the host-name lookup finds
// nothing and both console lookups run through /bin/sh, where neither command exists.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "../agent_install.h"
#include "fakes/in_order.h"

namespace fs = std::filesystem;

namespace {

bool CanUnshareNetwork() {
  return fs::exists("/usr/bin/unshare") &&
         std::system("/usr/bin/unshare -n true >/dev/null 2>&1") == 0;
}

// Runs `runs` copies of %IPADDRESS% at once, each in a network namespace of its own,
// started by a shell whose current folder and PATH are the given ones.
void RunOffline(const AgentInstall& agent, int runs, const fs::path& cwd = "/",
                const std::string& path = "/usr/bin:/bin") {
  std::string line = "cd '" + cwd.string() + "' && PATH='" + path + "' && export PATH && (";
  for (int i = 0; i < runs; ++i)
    line += "/usr/bin/unshare -n '" + agent.ExePath().string() + "' '%IPADDRESS%' & ";
  ASSERT_EQ(std::system((line + "wait)").c_str()), 0) << line;
}

// The scratch files the log names, in log order: "Executing shell for /bin/sh -c <command>
// >'<bin>/IPData.<12 characters>.txt' 2>&1".
std::vector<std::string> ScratchFiles(const AgentInstall& agent, const std::string& command) {
  const std::string opening = "MSG : Executing shell for /bin/sh -c " + command + " >'" +
                              (agent.BinDir() / "IPData.").string();
  std::vector<std::string> names;
  for (const std::string& m : agent.AllLogMessages()) {
    if (m.rfind(opening, 0) != 0) continue;
    EXPECT_EQ(m.size(), opening.size() + 12 + 10) << m;
    EXPECT_EQ(m.substr(m.size() - 10), ".txt' 2>&1") << m;
    names.push_back(m.substr(opening.size() - 7, 7 + 12 + 4));
  }
  return names;
}

// Each lookup's line quotes what its command wrote: the shell's own words for a missing
// command, which differ between shells but name the command.
void ExpectMissingCommandLines(const std::vector<std::string>& log, int runs) {
  for (const std::string command : {"ipconfig", "NBTSTAT -A"}) {
    const std::string opening = "MSG : " + command + " gave no address, it wrote: ";
    const std::string name = command.substr(0, command.find(' '));
    int found = 0;
    for (const std::string& line : log)
      if (line.rfind(opening, 0) == 0) {
        ++found;
        EXPECT_NE(line.find(name, opening.size()), std::string::npos) << line;
        EXPECT_NE(line.find("not found"), std::string::npos) << line;
      }
    EXPECT_EQ(found, runs) << command;
  }
}

void ExpectNoScratchLeft(const AgentInstall& agent) {
  for (const auto& entry : fs::directory_iterator(agent.BinDir()))
    EXPECT_EQ(entry.path().filename().string().rfind("IPData", 0), std::string::npos)
        << entry.path();
}

TEST(IpLookupWithoutNetwork, ConsoleLookupsSayTheCommandIsMissing) {
  if (!CanUnshareNetwork()) GTEST_SKIP() << "no network namespace can be made here";
  AgentInstall agent;
  RunOffline(agent, 1);

  EXPECT_EQ(agent.Result(), "ERR : Env Varibale value is blank\r\n");
  ASSERT_EQ(agent.LogFiles().size(), 1u);
  const auto log = agent.AllLogMessages();
  const auto ipconfig = ScratchFiles(agent, "ipconfig");
  const auto nbtstat = ScratchFiles(agent, "NBTSTAT -A");
  ASSERT_EQ(ipconfig.size(), 1u);
  ASSERT_EQ(nbtstat.size(), 1u);
  EXPECT_NE(ipconfig[0], nbtstat[0]) << "each lookup makes a scratch file of its own";
  EXPECT_TRUE(InOrder(
      log, {"MSG : Executing procedure :: SubGetIPFromAPI",
            "MSG : API IP :: ", "MSG : Executing procedure :: SubGetIPFromIPConfig",
            "MSG : Executing procedure :: SubGetIPFromNbtStat", "MSG : Expanded Value :: "}));
  ExpectMissingCommandLines(log, 1);
  ExpectNoScratchLeft(agent);
}

// Programs named like the console commands, in a folder of the caller's PATH and in the
// caller's current folder (which "." in PATH names), never run as the run's account.
TEST(IpLookupWithoutNetwork, PlantedCommandsInPathAndCurrentFolderNeverRun) {
  if (!CanUnshareNetwork()) GTEST_SKIP() << "no network namespace can be made here";
  AgentInstall agent;
  const fs::path marker = agent.Root() / "planted.ran";
  for (const fs::path& folder : {agent.Root() / "onpath", agent.Root() / "cwd"}) {
    fs::create_directories(folder);
    for (const char* name : {"ipconfig", "NBTSTAT"}) {
      std::ofstream(folder / name)
          << "#!/bin/sh\necho \"$0\" >>'" << marker.string() << "'\necho 'IP Address: 10.6.6.6'\n";
      fs::permissions(folder / name, fs::perms::all);
    }
  }
  RunOffline(agent, 1, agent.Root() / "cwd",
             (agent.Root() / "onpath").string() + ":.:/usr/bin:/bin");
  EXPECT_FALSE(fs::exists(marker)) << ReadBytes(marker);
  EXPECT_EQ(agent.Result(), "ERR : Env Varibale value is blank\r\n");
  ExpectMissingCommandLines(agent.AllLogMessages(), 1);
}

// Two runs at once: each lookup of each run has a scratch file of its own, reads the
// words of its own command, and leaves nothing behind.
TEST(IpLookupWithoutNetwork, RunsAtOnceReadOnlyTheirOwnOutput) {
  if (!CanUnshareNetwork()) GTEST_SKIP() << "no network namespace can be made here";
  AgentInstall agent;
  RunOffline(agent, 2);
  auto names = ScratchFiles(agent, "ipconfig");
  const auto nbtstat = ScratchFiles(agent, "NBTSTAT -A");
  ASSERT_EQ(names.size(), 2u);
  ASSERT_EQ(nbtstat.size(), 2u);
  names.insert(names.end(), nbtstat.begin(), nbtstat.end());
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 4u);
  ExpectMissingCommandLines(agent.AllLogMessages(), 2);
  ExpectNoScratchLeft(agent);
}

}  // namespace
