// The built qEnv fed what a careless or hostile caller might give it: the longest command
// line, thousands of "%" signs, bytes beyond ASCII, identity values at the edge of the
// registry reader's buffer, log folders blocked by files, links planted where the run
// writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "agent_install.h"
#include "fakes/in_order.h"
#include "platform/files.h"
#include "support/row_printer.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

const std::string kProgramFiles = AgentInstall::kProgramFiles;

bool HasErrorLine(const std::vector<std::string>& log) {
  return std::any_of(log.begin(), log.end(),
                     [](const std::string& m) { return m.rfind("ERR", 0) == 0; });
}

std::size_t Count(const std::vector<std::string>& log, const std::string& line) {
  return static_cast<std::size_t>(std::count(log.begin(), log.end(), line));
}

std::string Repeat(const std::string& s, std::size_t n) {
  std::string out;
  out.reserve(s.size() * n);
  for (std::size_t i = 0; i < n; ++i) out += s;
  return out;
}

// The longest command line CreateProcess accepts: 32,767 characters with its closing NUL.
constexpr std::size_t kLongestCommandLine = 32766;

TEST(HostileInput, TheLongestCommandLineIsExpandedWhole) {
  AgentInstall agent;
  // "<exe>" and a space, then the text: tokens with plain text between them, filled up to
  // the last character the system passes.
  const std::size_t room = kLongestCommandLine - (agent.ExePath().string().size() + 2) - 1;
  const std::string chunk = "%PROGRAMFILES%;";
  const std::size_t chunks = room / chunk.size();
  const std::string filler(room - chunks * chunk.size(), 'x');
  const std::string text = Repeat(chunk, chunks) + filler;
  ASSERT_EQ(agent.ExePath().string().size() + 3 + text.size(), kLongestCommandLine);

  agent.Run(" " + text);
  EXPECT_EQ(agent.Result(), Repeat(kProgramFiles + ";", chunks) + filler + "\r\n");
  const auto log = agent.AllLogMessages();
  EXPECT_EQ(Count(log, "MSG : Command line para is : " + text), 1u);
  EXPECT_EQ(Count(log, "MSG : Count is " + std::to_string(2 * chunks)), 1u);
  EXPECT_FALSE(HasErrorLine(log));
}

struct PercentCase {
  const char* what;
  std::string text;
  std::size_t signs;
  std::size_t names;
  std::optional<std::string> result;  // nullopt: the weekday during the run, once per name
};

using row_printer::PrintTo;

class HostilePercentSigns : public testing::TestWithParam<PercentCase> {};

TEST_P(HostilePercentSigns, EveryNameIsResolvedAndTheResultIsOneLine) {
  const PercentCase& c = GetParam();
  AgentInstall agent;
  const std::time_t before = std::time(nullptr);
  agent.Run(" " + c.text);
  const std::time_t after = std::time(nullptr);
  const auto log = agent.AllLogMessages();
  EXPECT_EQ(Count(log, "MSG : Count is " + std::to_string(c.signs)), 1u);
  std::size_t nameLines = 0;
  for (const auto& m : log) nameLines += m.rfind("MSG : Enironmental variable [", 0) == 0;
  EXPECT_EQ(nameLines, c.names);
  EXPECT_FALSE(HasErrorLine(log));

  const auto result = agent.Result();
  ASSERT_TRUE(result.has_value());
  if (c.result) {
    EXPECT_EQ(*result, *c.result + "\r\n");
    return;
  }
  // One name, written many times: the first replacement already replaces every token, so
  // the result is one day's name, repeated: that of the second before the run or after it.
  std::vector<std::string> expected;
  for (const std::time_t t : {before, after}) {
    char day[32];
    std::strftime(day, sizeof day, "%A", std::localtime(&t));
    expected.push_back(Repeat(day, c.names) + "\r\n");
  }
  EXPECT_TRUE(*result == expected[0] || *result == expected[1]) << result->substr(0, 200);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HostilePercentSigns,
    testing::Values(
        // Pairs of adjacent signs make no token: nothing is resolved and the text stands.
        PercentCase{"TenThousandSigns", std::string(10000, '%'), 10000, 0, std::string(10000, '%')},
        PercentCase{"OddNumberOfSigns", std::string(10001, '%'), 10001, 0, std::string(10001, '%')},
        // The text after an odd last sign is a name, but no token closes it.
        PercentCase{"UnclosedLastName", std::string(9999, '%') + "DAY", 9999, 1,
                    std::string(9999, '%') + "DAY"},
        PercentCase{"FiveThousandTokens", Repeat("%DAY%", 5000), 10000, 5000, std::nullopt}),
    [](const auto& info) { return std::string(info.param.what); });

// Bytes 128 to 255 in one text.
std::string HighBytes() {
  std::string s;
  for (int b = 128; b <= 255; ++b) s += static_cast<char>(b);
  return s;
}

TEST(HostileInput, BytesBeyondAsciiReachTheResultFileUnchanged) {
  AgentInstall agent;
  const std::string text = "%PROGRAMFILES%" + HighBytes() + "%QARNAGENTTYPE%";
  agent.Seed({{"TYPE", "T" + HighBytes()}});
  agent.Run(" " + text);
  EXPECT_EQ(agent.Result(), kProgramFiles + HighBytes() + "T" + HighBytes() + "\r\n");
  const auto log = agent.AllLogMessages();
  EXPECT_EQ(Count(log, "MSG : Command line para is : " + text), 1u);
  EXPECT_EQ(Count(log, "MSG : AGENTTYPE : T" + HighBytes()), 1u);
}

TEST(HostileInput, ANameOfBytesBeyondAsciiIsNamedUnchangedInTheError) {
  AgentInstall agent;
  const std::string name = "x" + HighBytes();
  agent.Run(" %" + name + "%");
  // Case folding touches ASCII letters only.
  EXPECT_EQ(agent.Result(), "ERR : Error while expanding environmental variable X" + HighBytes() +
                                ", it is not found. \r\n");
}

TEST(HostileInput, ControlCharactersStayInTheText) {
  AgentInstall agent;
  std::string controls;
  for (int b = 1; b < 32; ++b)
    if (b != '\n' && b != '\r') controls += static_cast<char>(b);
  controls += '\x7f';
  agent.Run(" %PROGRAMFILES%" + controls);
  EXPECT_EQ(agent.Result(), kProgramFiles + controls + "\r\n");
}

// Identity values at the registry reader's buffer: 255 bytes with the closing NUL is the
// longest text it reads; one byte more is refused (234) and reads as no value.
struct LengthCase {
  const char* name;
  const char* token;     // the variable that serves the value
  const char* loggedAs;  // "MSG : <loggedAs> : " shows the value read
  const char* invalidLine;
};

const LengthCase kIdentityValues[] = {
    {"Memberid", "%QARNPARTNERID%", "MEMBERID", "MSG : Invalid MEMBERID"},
    {"SITEID", "%QARNSITEID%", "SITEID", "MSG : Invalid SITEID"},
    {"TYPE", "%QARNAGENTTYPE%", "AGENTTYPE", "MSG : Invalid AGENTTYPE"},
};

// bytes: the value's size in the registry, closing NUL included.
std::string IdentityText(std::size_t bytes) {
  return "1" + std::string(bytes - 2, '7');
}

class HostileIdentityLength : public testing::TestWithParam<std::tuple<LengthCase, std::size_t>> {};

TEST_P(HostileIdentityLength, IsReadWholeOrEndsTheRun) {
  const auto& [c, bytes] = GetParam();
  AgentInstall agent;
  const std::string value = IdentityText(bytes);
  agent.Seed({{c.name, value}});
  agent.WriteResult("earlier\r\n", false);
  agent.Run(std::string(" ") + c.token);
  const auto log = agent.AllLogMessages();
  if (bytes <= 255) {
    EXPECT_EQ(agent.Result(), value + "\r\n");
    EXPECT_EQ(Count(log, std::string("MSG : ") + c.loggedAs + " : " + value), 1u);
    EXPECT_FALSE(HasErrorLine(log));
    return;
  }
  EXPECT_EQ(agent.Result(), "earlier\r\n");
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log[log.size() - 4].rfind("ERR : 234", 0), 0u) << log[log.size() - 4];
  EXPECT_EQ(log[log.size() - 3], std::string("MSG : ") + c.loggedAs + " : ");
  EXPECT_EQ(log[log.size() - 2], c.invalidLine);
  EXPECT_EQ(log.back(), "MSG : Application Ended");
}

INSTANTIATE_TEST_SUITE_P(Values, HostileIdentityLength,
                         testing::Combine(testing::ValuesIn(kIdentityValues),
                                          testing::Values(254u, 255u, 256u)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" +
                                  std::to_string(std::get<1>(info.param)) + "Bytes";
                         });

// The registration id is also part of the log file's name, and a name holds at most 255
// characters: an id that is read whole but makes the name too long stops the run where
// the log file is created, before the log or the result is written.
class HostileRegIdLength : public testing::TestWithParam<std::size_t> {};

TEST_P(HostileRegIdLength, EndsTheRunWithoutTouchingTheResult) {
  const std::size_t bytes = GetParam();
  AgentInstall agent;
  agent.Seed({{"RegID", IdentityText(bytes)}});
  agent.WriteResult("earlier\r\n", false);
  agent.Run(" %QARNAGENTID%");
  EXPECT_EQ(agent.Result(), "earlier\r\n");
  const auto files = agent.LogFiles();
  if (bytes <= 255) {
    EXPECT_TRUE(fs::is_directory(agent.LogFolder()));
    EXPECT_TRUE(files.empty());
    return;
  }
  // Unreadable at the first read, the id leaves its place in the name empty; the second
  // read fails the same way and ends the run.
  ASSERT_EQ(files.size(), 1u);
  const std::string name = files[0].filename().string();
  // No id between the underscores: the stamp's digits follow them at once.
  EXPECT_EQ(name.substr(0, 9), "qEnv_____") << name;
  EXPECT_TRUE(name.size() > 9 && name[9] >= '0' && name[9] <= '9') << name;
  const auto log = agent.LogMessages(files[0]);
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[log.size() - 3], "MSG : REGID : ");
  EXPECT_EQ(log[log.size() - 2], "MSG : Invalid REGID");
  EXPECT_EQ(log.back(), "MSG : Application Ended");
}

INSTANTIATE_TEST_SUITE_P(Values, HostileRegIdLength, testing::Values(254u, 255u, 256u),
                         [](const auto& info) { return std::to_string(info.param) + "Bytes"; });

// An installation path of the given size (closing NUL included) naming a real folder:
// separators doubled between the folder's parent and its name fill it up, and the
// start-up's own clean-up halves them again.
std::string PaddedInstallPath(const AgentInstall& agent, std::size_t bytes) {
  const std::string parent = agent.Root().string();
  const std::string name = "agent";
  return parent + std::string(bytes - 1 - parent.size() - name.size(), kPathSep[0]) + name;
}

// The path with every run of separators made one.
std::string OneSeparatorEach(const std::string& path) {
  std::string out;
  for (char c : path)
    if (c != kPathSep[0] || out.empty() || out.back() != c) out += c;
  return out;
}

class HostileInstallPathLength : public testing::TestWithParam<std::size_t> {};

TEST_P(HostileInstallPathLength, IsReadWholeOrEndsTheRunSilently) {
  const std::size_t bytes = GetParam();
  AgentInstall agent;
  const std::string path = PaddedInstallPath(agent, bytes);
  ASSERT_EQ(path.size() + 1, bytes);
  ASSERT_TRUE(fs::is_directory(path));
  agent.Seed({{"InstallationPath", path}});
  agent.WriteResult("earlier\r\n", false);
  agent.Run(" %QARNINSTALLPATH%");
  if (bytes > 255) {
    EXPECT_EQ(agent.Result(), "earlier\r\n");
    EXPECT_FALSE(fs::exists(fs::path(agent.InstallDir()) / "ApplicationLog"));
    return;
  }
  const auto result = agent.Result();
  ASSERT_TRUE(result.has_value());
  ASSERT_GE(result->size(), 3u);
  ASSERT_EQ(result->substr(result->size() - 2), "\r\n");
  const std::string expanded = result->substr(0, result->size() - 2);
  EXPECT_EQ(expanded.back(), kPathSep[0]);
  EXPECT_EQ(OneSeparatorEach(expanded), OneSeparatorEach(agent.InstallDir() + kPathSep))
      << expanded;
  EXPECT_EQ(Count(agent.AllLogMessages(), "MSG : QARN installation path : " + expanded), 1u);
}

INSTANTIATE_TEST_SUITE_P(Values, HostileInstallPathLength, testing::Values(254u, 255u, 256u),
                         [](const auto& info) { return std::to_string(info.param) + "Bytes"; });

// Links a test planted, removed before its installation is (Wine cannot remove a Unix link
// through its own calls).
struct PlantedLinks {
  std::vector<std::string> paths;
  ~PlantedLinks() { test_support::RemoveLinks(paths); }
  bool Make(const fs::path& target, const fs::path& link, bool folder) {
    paths.push_back(link.string());
    return test_support::MakeLink(target.string(), link.string(), folder);
  }
};

// A file, or a link to a folder elsewhere, where the start-up wants one of its folders: the
// run ends before the result file is touched, and nothing is written into or beside the
// blocked place, nor through the link.
struct BlockedCase {
  const char* name;
  const char* relative;  // below the installation folder
  bool link;
};

class HostileBlockedFolder : public testing::TestWithParam<BlockedCase> {};

TEST_P(HostileBlockedFolder, EndsWithoutResultChange) {
  const BlockedCase& c = GetParam();
  AgentInstall agent;
  const fs::path elsewhere = agent.Root() / "elsewhere",
                 blocked = fs::path(agent.InstallDir()) / c.relative;
  fs::create_directories(elsewhere);
  fs::create_directories(blocked.parent_path());
  PlantedLinks links;
  if (c.link) {
    ASSERT_TRUE(links.Make(elsewhere, blocked, true));
    if (!test_support::ShowsAsLink(blocked.string()))
      GTEST_SKIP() << "this system shows no link at " << blocked;
  } else {
    std::ofstream(blocked) << "x";
  }
  agent.WriteResult("earlier\r\n", false);
  agent.Run(" %PROGRAMFILES%");
  EXPECT_EQ(agent.Result(), "earlier\r\n");
  EXPECT_TRUE(fs::is_empty(elsewhere)) << "written through the link";
  if (!c.link) {
    EXPECT_EQ(ReadBytes(blocked), "x");
    EXPECT_TRUE(agent.LogFiles().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Folders, HostileBlockedFolder,
    testing::Values(BlockedCase{"FileAtqRTKLog", "ApplicationLog/qRTKLog", false},
                    BlockedCase{"FileAtRTKPostLogs", "RTKPostLogs", false},
                    BlockedCase{"LinkAtApplicationLog", "ApplicationLog", true},
                    BlockedCase{"LinkAtqRTKLog", "ApplicationLog/qRTKLog", true},
                    BlockedCase{"LinkAtRTKPostLogs", "RTKPostLogs", true}),
    [](const auto& info) { return std::string(info.param.name); });

// The log file's name is predictable to the second: links planted at the names of the
// coming seconds point at a file the run must never write.
TEST(HostileInput, LinksAtTheComingLogNamesAreNeverWrittenThrough) {
  AgentInstall agent;
  fs::create_directories(agent.LogFolder());
  const fs::path victim = agent.Root() / "authorized_keys";
  { std::ofstream(victim, std::ios::binary) << "ssh-ed25519 AAAA owner\n"; }
  PlantedLinks links;
  const std::time_t now = std::time(nullptr);
  for (std::time_t t = now; t < now + 60; ++t) {
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%m%d%Y%H%M%S", std::localtime(&t));
    const fs::path link = agent.LogFolder() / (std::string("qEnv_1234____") + stamp + ".txt");
    ASSERT_TRUE(links.Make(victim, link, false));
    if (!test_support::ShowsAsLink(link.string()))
      GTEST_SKIP() << "this system shows a link to a file as the file itself (Wine)";
  }
  agent.WriteResult("earlier\r\n", false);
  agent.Run(" %PROGRAMFILES%");
  EXPECT_EQ(ReadBytes(victim), "ssh-ed25519 AAAA owner\n");
  // The log file cannot be made: the run ends as it does for any such failure.
  EXPECT_EQ(agent.Result(), "earlier\r\n");
}

}  // namespace
