#include "main/startup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "agent_fixture.h"
#include "run/log_writer.h"
#include "support/row_printer.h"
#include "support/startup_log.h"

namespace {

class Startup : public AgentFixture {
 protected:
  // Runs the start-up; true when it ended the process.
  bool RunEnds() {
    try {
      subInitialize(ctx);
      return false;
    } catch (const ProcessEnded&) {
      return true;
    }
  }
};

TEST_F(Startup, ValidAgentLogsBannerAndIdentityInOrder) {
  ASSERT_FALSE(RunEnds());
  ctx.LogStream->Close();
  EXPECT_EQ(LogMessagesOf(LogPath()), StartupLogMessages(InstallDir(), "1.0.0.0"));
  EXPECT_TRUE(fake.process.hidden);
  EXPECT_EQ(ctx.AgentInstallPath, InstallDir());
  EXPECT_EQ(ctx.AgentMemberId, "42");
  EXPECT_EQ(ctx.AgentSiteId, "7");
  EXPECT_EQ(ctx.AgentRegId, "1234");
  EXPECT_EQ(ctx.AgentType, "SERVER");
  EXPECT_EQ(ctx.AppShortPath, "C:\\AGENT~1\\bin");
  EXPECT_EQ(ctx.ExeVersion, "1.0.0.0");
}

TEST_F(Startup, LogFileOfTheSameSecondIsAppendedNotReplaced) {
  fake.files.folders.insert(InstallDir() + "ApplicationLog");
  fake.files.folders.insert(LogFolder());
  fake.files.files[LogPath()].content = "12/07/2026 21:05:09\tMSG : first run\r\n";
  ASSERT_FALSE(RunEnds());
  ctx.LogStream->Close();
  const auto lines = LogMessagesOf(LogPath());
  ASSERT_GT(lines.size(), 2u);
  EXPECT_EQ(lines[0], "MSG : first run");
  EXPECT_EQ(lines[1], std::string(85, '*'));
}

TEST_F(Startup, RegistersMsxmlWithTheSystemFoldersRegsvr32) {
  ASSERT_FALSE(RunEnds());
  ASSERT_EQ(fake.process.started.size(), 1u);
  const std::string sys = "C:\\WINDOWS\\system32";
  EXPECT_EQ(fake.process.started[0].program, sys + kPathSep + "regsvr32" + kExeSuffix);
  EXPECT_EQ(fake.process.started[0].commandLine, "regsvr32 -s " + sys + kPathSep + "msxml2.dll");
  EXPECT_FALSE(fake.process.started[0].hidden);
}

TEST_F(Startup, NoSystemFolderOrFailedStartDoesNotStopTheRun) {
  fake.system.specialFolders.clear();
  EXPECT_FALSE(RunEnds());
  EXPECT_TRUE(fake.process.started.empty());

  ctx.LogStream.reset();
  fake.system.specialFolders[37] = "C:\\WINDOWS\\system32";
  fake.process.startSucceeds = false;
  EXPECT_FALSE(RunEnds());
}

TEST_F(Startup, NetworkInstallPathKeepsItsLeadingPair) {
  const std::string unc = "\\\\server\\share\\Agent";
  fake.files.folders.insert(unc);
  SetAgentValue("InstallationPath", "\\\\server\\\\share\\Agent");
  fake.files.folders.insert("\\\\server\\\\share\\Agent");
  ASSERT_FALSE(RunEnds());
  EXPECT_EQ(ctx.AgentInstallPath, unc + kPathSep);
  EXPECT_TRUE(fake.files.FolderExists(unc + kPathSep + "ApplicationLog"));
}

struct EndCase {
  const char* what;
  const char* name;   // value to change; "" for none
  const char* value;  // nullptr deletes the value
  const char* lastCheckLine;
  const char* invalidLine;
};

using row_printer::PrintTo;

class StartupEnds : public Startup, public testing::WithParamInterface<EndCase> {};

TEST_P(StartupEnds, InvalidIdentityEndsAfterNamingIt) {
  const EndCase& c = GetParam();
  if (c.value)
    SetAgentValue(c.name, c.value);
  else
    DeleteAgentValue(c.name);
  ASSERT_TRUE(RunEnds());
  EXPECT_EQ(ctx.LogStream, nullptr);
  const auto lines = LogMessagesOf(LogPath());
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 3], c.lastCheckLine);
  EXPECT_EQ(lines[lines.size() - 2], c.invalidLine);
  EXPECT_EQ(lines.back(), "MSG : Application Ended");
  EXPECT_TRUE(fake.process.started.empty()) << "no registration after an early end";
}

INSTANTIATE_TEST_SUITE_P(Identity, StartupEnds,
                         testing::Values(EndCase{"MemberMissing", "Memberid", nullptr,
                                                 "MSG : MEMBERID : ", "MSG : Invalid MEMBERID"},
                                         EndCase{"MemberHexZero", "Memberid", "&H0",
                                                 "MSG : MEMBERID : &H0", "MSG : Invalid MEMBERID"},
                                         EndCase{"SiteZeroPointZero", "SITEID", " 0.0 ",
                                                 "MSG : SITEID :  0.0 ", "MSG : Invalid SITEID"},
                                         EndCase{"TypeMissing", "TYPE", nullptr,
                                                 "MSG : AGENTTYPE : ", "MSG : Invalid AGENTTYPE"}),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(Startup, FirstInvalidValueInOrderEndsTheRun) {
  SetAgentValue("SITEID", "0");
  SetAgentValue("TYPE", "");
  ASSERT_TRUE(RunEnds());
  const auto lines = LogMessagesOf(LogPath());
  EXPECT_TRUE(InOrder(lines, {"MSG : Invalid SITEID", "MSG : Application Ended"}));
  EXPECT_FALSE(InOrder(lines, {"MSG : Reading REGID"}));
}

TEST_F(Startup, NumericRuleAcceptsPrefixesAndTypeZero) {
  // Only a value that reads as 0 fails: a negative one passes. Each is kept as stored.
  struct Accepted {
    const char *memberId, *siteId, *regId, *type;
  };
  for (const Accepted& c :
       {Accepted{"00042", "42x", "\t1 2", "0"}, Accepted{"-42", "7", "1234", "SERVER"}}) {
    SCOPED_TRACE(c.memberId);
    SetAgentValue("Memberid", c.memberId);
    SetAgentValue("SITEID", c.siteId);
    SetAgentValue("RegID", c.regId);
    SetAgentValue("TYPE", c.type);
    ctx.LogStream.reset();
    ASSERT_FALSE(RunEnds());
    EXPECT_EQ(ctx.AgentMemberId, c.memberId);
    EXPECT_EQ(ctx.AgentSiteId, c.siteId);
    EXPECT_EQ(ctx.AgentRegId, c.regId);
    EXPECT_EQ(ctx.AgentType, c.type);
  }
}

TEST_F(Startup, MissingInstallFolderEndsSilently) {
  for (const char* value : {"", "   ", "C:\\Nowhere"}) {
    SCOPED_TRACE(value);
    SetAgentValue("InstallationPath", value);
    ASSERT_TRUE(RunEnds());
    EXPECT_FALSE(fake.files.FolderExists(InstallDir() + "ApplicationLog"));
  }
  DeleteAgentValue("InstallationPath");
  ASSERT_TRUE(RunEnds());
  EXPECT_EQ(FilePaths(), std::vector<std::string>{ExePath()}) << "no log file, no result";
}

// fncPreChecks

struct PreCheckCase {
  std::string commandLine;
  bool result;
  std::array<std::string, 3> fields;
};

// Printed by name rather than as raw bytes (which would read the strings' unused buffers).
void PrintTo(const PreCheckCase& c, std::ostream* os) {
  *os << '"' << c.commandLine << '"';
}

class PreChecks : public AgentFixture, public testing::WithParamInterface<PreCheckCase> {};

std::string Fields(const std::vector<std::string>& f) {
  std::string s;
  for (std::size_t i = 0; i < f.size(); ++i) s += (i ? "@#@" : "") + f[i];
  return s;
}

TEST_P(PreChecks, SplitsThirteenFields) {
  fake.files.files["C:\\job.xml"] = {};
  fake.process.rawArguments = GetParam().commandLine;
  EXPECT_EQ(fncPreChecks(ctx), GetParam().result);
  EXPECT_EQ(ctx.PreCheckFields, GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, PreChecks,
    testing::Values(
        PreCheckCase{"", false, {}}, PreCheckCase{"%COMPUTERNAME%", false, {}},
        PreCheckCase{
            Fields({"a", "b", "c", "d", "e", "C:\\job.xml", "g", "h", "i", "j", "k", "l", "m"}),
            true,
            {"a", "b", "c"}},
        PreCheckCase{"  " +
                         Fields({"\"a \"x\"", " b", "c ", "", "", "C:\\job.xml", "", "", "", "", "",
                                 "", ""}) +
                         "  ",
                     true,
                     {"a x", " b", "c "}},
        PreCheckCase{Fields({"a", "b", "c", "", "", "C:\\other.xml", "", "", "", "", "", "", ""}),
                     false,
                     {"a", "b", "c"}},
        PreCheckCase{Fields({"a", "b", "c", "", "", " C:\\job.xml", "", "", "", "", "", "", ""}),
                     false,
                     {"a", "b", "c"}},
        PreCheckCase{Fields(std::vector<std::string>(12, "x")), false, {}},
        PreCheckCase{Fields(std::vector<std::string>(14, "x")), false, {}},
        PreCheckCase{Fields(std::vector<std::string>(13, "")), false, {"", "", ""}}));

TEST_F(Startup, ThirteenFieldsNameTheLogFile) {
  fake.process.rawArguments =
      Fields({"\"job\"", "77", "run", "", "", "C:\\none", "", "", "", "", "", "", ""});
  subInitialize(ctx);
  EXPECT_TRUE(
      fake.files.FileExists(LogFolder() + kPathSep + "qEnv_1234_job_77_run_12072026210509.txt"));
}

}  // namespace
