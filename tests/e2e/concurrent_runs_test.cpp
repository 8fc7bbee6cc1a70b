// Many runs of the built qEnv started at once from one folder, as an agent's scheduler may
// do: none may crash, hang, lose its log lines or leave a torn result.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "agent_install.h"
#include "fakes/in_order.h"
#include "host_facts.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRuns = 20;
// Far beyond what one run takes even on a loaded machine: only a run that hangs meets it.
constexpr unsigned kBoundMs = 120000;

TEST(ConcurrentRuns, NoneCrashesOrHangsAndEveryRunsLinesAreThere) {
  AgentInstall agent;
  std::vector<std::string> texts;
  for (int i = 0; i < kRuns; ++i) texts.push_back("%PROGRAMFILES%-run" + std::to_string(i));

  const std::vector<long> codes =
      test_support::RunTogether(agent.ExePath().string(), texts, kBoundMs);
  for (int i = 0; i < kRuns; ++i) EXPECT_EQ(codes[i], 0) << "run " << i;

  // Same second, same identity: runs share log files. Each line must be whole (LogMessages
  // fails a torn one), and every run's own lines are all there, in its order.
  const std::vector<std::string> all = agent.AllLogMessages();
  EXPECT_EQ(std::count(all.begin(), all.end(), "MSG : Application started"), kRuns);
  EXPECT_EQ(std::count(all.begin(), all.end(), "MSG : AGENTTYPE : SERVER"), kRuns);
  for (const std::string& text : texts) {
    const std::string expanded = std::string(AgentInstall::kProgramFiles) + text.substr(14);
    EXPECT_TRUE(InOrder(all, {"MSG : Command line para is : " + text,
                              "MSG : Expanding Environment Variable " + text,
                              "MSG : Expanded value :: " + expanded}))
        << text;
    EXPECT_EQ(std::count(all.begin(), all.end(), "MSG : Command line para is : " + text), 1);
  }
  const auto err = std::find_if(all.begin(), all.end(),
                                [](const std::string& m) { return m.rfind("ERR", 0) == 0; });
  EXPECT_TRUE(err == all.end()) << "a run failed: " << *err;

  // The result is one run's whole line, never a mixture or an empty file.
  const auto result = agent.Result();
  ASSERT_TRUE(result.has_value());
  std::vector<std::string> possible;
  for (const std::string& text : texts)
    possible.push_back(std::string(AgentInstall::kProgramFiles) + text.substr(14) + "\r\n");
  EXPECT_NE(std::find(possible.begin(), possible.end(), *result), possible.end()) << *result;

  // No run's temporary file is left beside the result.
  for (const auto& entry : fs::directory_iterator(agent.BinDir()))
    EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
}

// Two address lookups at once (natively offline, so that the console lookups run), each
// reading only a scratch file of its own: both find every address, and none is left.
TEST(ConcurrentRuns, AddressLookupsReadOnlyTheirOwnOutput) {
  AgentInstall agent;
  const std::vector<long> codes = test_support::RunTogether(
      agent.ExePath().string(), {"%IPADDRESS%", "%IPADDRESS%"}, kBoundMs, true);
  EXPECT_EQ(codes, (std::vector<long>{0, 0})) << "natively each run needs unshare -n (root)";
  const std::vector<std::string> all = agent.AllLogMessages();
  std::set<std::string> scratch;
  std::size_t shells = 0;
  for (const std::string& m : all)
    if (m.rfind("MSG : Executing shell for ", 0) == 0 && ++shells)
      scratch.insert(m.substr(m.find("IPData."), 19));
  ASSERT_GE(shells, 2u) << "no console lookup ran";
  EXPECT_EQ(scratch.size(), shells) << "two lookups used one scratch file";
  const std::string expected = "MSG : Expanded Value :: " + host::OfflineIpAddress();
  EXPECT_EQ(std::count(all.begin(), all.end(), expected), 2) << "a run read a partial list";
  for (const auto& entry : fs::directory_iterator(agent.BinDir()))
    EXPECT_NE(entry.path().filename().string().rfind("IPData.", 0), 0u) << entry.path();
}

}  // namespace
