// The built qEnv run end to end on a throw-away agent installation.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "agent_install.h"
#include "fakes/in_order.h"
#include "platform/files.h"
#include "support/row_printer.h"
#include "support/startup_log.h"

namespace fs = std::filesystem;

namespace {

// The one log file of a run, with its name checked: qEnv_<RegID>____<14 digits>.txt.
std::vector<std::string> OnlyLog(const AgentInstall& agent, const std::string& regId = "1234") {
  const auto files = agent.LogFiles();
  EXPECT_EQ(files.size(), 1u);
  if (files.size() != 1) return {};
  const std::string name = files[0].filename().string();
  const std::string prefix = "qEnv_" + regId + "____";
  EXPECT_EQ(name.rfind(prefix, 0), 0u) << name;
  EXPECT_EQ(name.size(), prefix.size() + 14 + 4) << name;
  EXPECT_EQ(name.find_first_not_of("0123456789", prefix.size()), prefix.size() + 14) << name;
  EXPECT_EQ(name.substr(name.size() - 4), ".txt");
  return agent.LogMessages(files[0]);
}

TEST(QEnvRun, ExpandsIntoTheResultFileAndLogsEveryStep) {
  AgentInstall agent;
  agent.Run(" %PROGRAMFILES%");
  EXPECT_EQ(agent.Result(), std::string(AgentInstall::kProgramFiles) + "\r\n");
  const auto log = OnlyLog(agent);
  auto wanted = StartupLogMessages(agent.LoggedInstallDir(), QENV_VERSION);
  wanted.push_back("MSG : Command line para is : %PROGRAMFILES%");
  wanted.push_back("MSG : Expanding Environment Variable %PROGRAMFILES%");
  ASSERT_GE(log.size(), wanted.size());
  EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 17),
            std::vector<std::string>(wanted.begin(), wanted.begin() + 17));
  EXPECT_TRUE(InOrder(log, wanted));
  EXPECT_NE(log.back(), "MSG : Application Ended");
  EXPECT_EQ(log.end(), std::find_if(log.begin(), log.end(),
                                    [](const std::string& m) { return m.rfind("ERR", 0) == 0; }));
}

TEST(QEnvRun, CreatesTheLogFoldersAndLeavesRTKPostLogsEmpty) {
  AgentInstall agent;
  agent.Run(" %PROGRAMFILES%");
  const fs::path install = agent.InstallDir();
  EXPECT_TRUE(fs::is_directory(install / "ApplicationLog"));
  EXPECT_TRUE(fs::is_directory(agent.LogFolder()));
  ASSERT_TRUE(fs::is_directory(install / "RTKPostLogs"));
  EXPECT_TRUE(fs::is_empty(install / "RTKPostLogs"));
  EXPECT_EQ(fs::directory_iterator(install / "ApplicationLog")->path(), agent.LogFolder());
}

TEST(QEnvRun, ExpansionErrorIsTheResultLine) {
  AgentInstall agent;
  agent.Run(" %PROGRAMFILES%-%NOPE%");
  const std::string errorText =
      "Error while expanding environmental variable NOPE, it is not found. ";
  EXPECT_EQ(agent.Result(), "ERR : " + errorText + "\r\n");
  EXPECT_TRUE(InOrder(OnlyLog(agent), {"MSG : Command line para is : %PROGRAMFILES%-%NOPE%",
                                       "ERR : Can not Expanding Environment Variable " +
                                           std::string(AgentInstall::kProgramFiles) +
                                           "-%NOPE% Err Details : " + errorText}));
}

struct TextCase {
  const char* what;
  std::string args;
  std::string logged;
  std::string result;
};

using row_printer::PrintTo;

class QEnvCommandText : public testing::TestWithParam<TextCase> {};

TEST_P(QEnvCommandText, DecidesOnTheTrimmedTextsFirstCharacter) {
  AgentInstall agent;
  agent.WriteResult("earlier result that is longer\r\n", false);
  agent.Run(GetParam().args);
  EXPECT_EQ(agent.Result(), GetParam().result);
  EXPECT_TRUE(InOrder(OnlyLog(agent), {"MSG : Command line para is : " + GetParam().logged}));
  EXPECT_EQ(agent.LogFiles().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, QEnvCommandText,
    testing::Values(
        TextCase{"Empty", "", "", ""},
        TextCase{"SurroundingSpaces", "    %PROGRAMFILES%    ", "%PROGRAMFILES%",
                 std::string(AgentInstall::kProgramFiles) + "\r\n"},
        TextCase{"FirstCharacterNotPercent", " abc %PROGRAMFILES%", "abc %PROGRAMFILES%", ""},
        TextCase{"TabsAreNoSpaces", " \t %PROGRAMFILES% \t", "\t %PROGRAMFILES% \t", ""},
        TextCase{"HighBytes", " %PROGRAMFILES%\xE9", "%PROGRAMFILES%\xE9",
                 std::string(AgentInstall::kProgramFiles) + "\xE9\r\n"},
        TextCase{"LongLine", " %PROGRAMFILES%" + std::string(32000, 'x'),
                 "%PROGRAMFILES%" + std::string(32000, 'x'),
                 std::string(AgentInstall::kProgramFiles) + std::string(32000, 'x') + "\r\n"}),
    [](const auto& info) { return std::string(info.param.what); });

struct EarlyEnd {
  const char* what;
  const char* name;
  std::optional<std::string> value;
  const char* invalidLine;  // nullptr: ends before the log exists
};

class QEnvEarlyEnd : public testing::TestWithParam<EarlyEnd> {};

TEST_P(QEnvEarlyEnd, LeavesAnEarlierResultAlone) {
  const EarlyEnd& c = GetParam();
  AgentInstall agent;
  agent.Seed({{c.name, c.value}});
  agent.WriteResult("earlier\r\n", false);
  agent.Run(" %PROGRAMFILES%");
  EXPECT_EQ(agent.Result(), "earlier\r\n");
  if (!c.invalidLine) {
    EXPECT_FALSE(fs::exists(fs::path(agent.InstallDir()) / "ApplicationLog"));
    return;
  }
  const auto log = OnlyLog(agent, std::string(c.name) == "RegID" ? *c.value : "1234");
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2], c.invalidLine);
  EXPECT_EQ(log.back(), "MSG : Application Ended");
}

INSTANTIATE_TEST_SUITE_P(
    Identity, QEnvEarlyEnd,
    testing::Values(EarlyEnd{"InstallationPathMissing", "InstallationPath", std::nullopt, nullptr},
                    EarlyEnd{"InstallationPathEmpty", "InstallationPath", "", nullptr},
                    EarlyEnd{"MemberidZero", "Memberid", "0", "MSG : Invalid MEMBERID"},
                    EarlyEnd{"SiteidLetters", "SITEID", "abc", "MSG : Invalid SITEID"},
                    EarlyEnd{"RegIdMinusZero", "RegID", "-0", "MSG : Invalid REGID"},
                    EarlyEnd{"TypeOfSpaces", "TYPE", "   ", "MSG : Invalid AGENTTYPE"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(QEnvRun, InstallationPathThatIsAFileEndsSilently) {
  AgentInstall agent;
  const std::string file = agent.ResultPath() + ".not-a-folder";
  { std::ofstream(file) << "x"; }
  agent.Seed({{"InstallationPath", file}});
  agent.Run(" %PROGRAMFILES%");
  EXPECT_EQ(agent.Result(), std::nullopt);
}

TEST(QEnvRun, ReadOnlyResultStaysAndTheHandlerLogsWhy) {
  AgentInstall agent;
  agent.WriteResult("earlier\r\n", true);
  agent.Run(" %PROGRAMFILES%");
  EXPECT_EQ(agent.Result(), "earlier\r\n");
  const auto log = OnlyLog(agent);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "ERR : Main, Permission denied");
  // Nothing but the result file and the executable (and natively the store) beside it.
  for (const auto& entry : fs::directory_iterator(fs::path(agent.ResultPath()).parent_path()))
    EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST(QEnvRun, LogFolderBlockedByAFileEndsWithoutResultChange) {
  AgentInstall agent;
  { std::ofstream(fs::path(agent.InstallDir()) / "ApplicationLog") << "x"; }
  agent.WriteResult("earlier\r\n", false);
  agent.Run(" %PROGRAMFILES%");
  EXPECT_EQ(agent.Result(), "earlier\r\n");
}

TEST(QEnvRun, SecondRunKeepsTheFirstRunsLogLines) {
  AgentInstall agent;
  agent.Run(" %PROGRAMFILES%");
  agent.Run(" abc");
  // In the same second both runs share one log file; otherwise each has its own. Either
  // way both runs' lines are all there, whole.
  const std::vector<std::string> all = agent.AllLogMessages();
  EXPECT_EQ(std::count(all.begin(), all.end(), "MSG : Application started"), 2);
  EXPECT_TRUE(InOrder(
      all, {"MSG : Command line para is : %PROGRAMFILES%", "MSG : Command line para is : abc"}));
  EXPECT_EQ(agent.Result(), "");
}

}  // namespace
