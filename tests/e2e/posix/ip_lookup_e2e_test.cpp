// IPADDRESS on a machine whose interfaces give no address: qEnv run in a network namespace
// of its own (unshare -n: only a loopback interface, down), so the host-name lookup finds
// nothing and both console lookups run through /bin/sh, where neither command exists.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "../agent_install.h"
#include "fakes/in_order.h"
#include "platform/process.h"
#include "platform/service_factories.h"

namespace fs = std::filesystem;

namespace {

const char kUnshare[] = "/usr/bin/unshare";

bool CanUnshareNetwork() {
  return fs::exists(kUnshare) && std::system("/usr/bin/unshare -n true >/dev/null 2>&1") == 0;
}

TEST(IpLookupWithoutNetwork, ConsoleLookupsSayTheCommandIsMissing) {
  if (!CanUnshareNetwork()) GTEST_SKIP() << "no network namespace can be made here";
  AgentInstall agent;
  const fs::path bin = fs::path(agent.ResultPath()).parent_path();
  const std::string exe = (bin / "qEnv").string();
  ASSERT_EQ(exe.find(' '), std::string::npos);  // the command line is split at blanks
  std::unique_ptr<Process> process = CreateProcess(0, nullptr);
  ASSERT_NE(process->RunHidden(kUnshare, "unshare -n " + exe + " %IPADDRESS%", 120000), 0u);

  EXPECT_EQ(agent.Result(), "ERR : Env Varibale value is blank\r\n");
  const auto files = agent.LogFiles();
  ASSERT_EQ(files.size(), 1u);
  const auto log = agent.LogMessages(files[0]);
  const std::string scratch = "'" + (bin / "IPData.txt").string() + "'";
  EXPECT_TRUE(InOrder(log, {"MSG : Executing procedure :: SubGetIPFromAPI",
                            "MSG : API IP :: ", "MSG : Executing procedure :: SubGetIPFromIPConfig",
                            "MSG : Executing shell for /bin/sh -c ipconfig >" + scratch + " 2>&1",
                            "MSG : Executing procedure :: SubGetIPFromNbtStat",
                            "MSG : Executing shell for /bin/sh -c NBTSTAT -A >" + scratch + " 2>&1",
                            "MSG : Expanded Value :: "}));
  // The shell's own words for a missing command differ between shells; each lookup's line
  // quotes them.
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
    EXPECT_EQ(found, 1) << command;
  }
}

}  // namespace
