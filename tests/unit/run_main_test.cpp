#include "main/run_main.h"
#include "fakes/test_context.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "agent_fixture.h"
#include "main/qenv_entry.h"
#include "support/row_printer.h"

namespace {

class RunMain : public AgentFixture {
 protected:
  // Runs Main; true when it ended the process, false when its error handler returned.
  bool Run(const std::string& commandLine) {
    fake.process.rawArguments = commandLine;
    try {
      Main(ctx);
      return false;
    } catch (const ProcessEnded& end) {
      EXPECT_EQ(end.code, 0);
      return true;
    }
  }
  std::vector<std::string> Log() const { return LogMessagesOf(LogPath()); }
  // Paths of the fake file system other than the executable and the log.
  std::vector<std::string> OtherFiles() const {
    std::vector<std::string> out;
    for (const auto& p : FilePaths())
      if (p != ExePath() && p != LogPath()) out.push_back(p);
    return out;
  }
};

struct ResultCase {
  const char* what;
  std::string commandLine;
  std::string logged;  // the command text as logged
  std::string result;  // the result file's bytes
};

using row_printer::PrintTo;

class RunMainResult : public RunMain, public testing::WithParamInterface<ResultCase> {};

TEST_P(RunMainResult, WritesTheResultFileAndEndsTheProcess) {
  const ResultCase& c = GetParam();
  ASSERT_TRUE(Run(c.commandLine));
  EXPECT_EQ(fake.files.Content(ResultPath()), c.result);
  EXPECT_EQ(OtherFiles(), std::vector<std::string>{ResultPath()}) << "nothing else is left";
  const auto log = Log();
  EXPECT_TRUE(
      InOrder(log, {"MSG : AGENTTYPE : SERVER", "MSG : Command line para is : " + c.logged}));
  const bool expanded = !c.logged.empty() && c.logged[0] == '%';
  EXPECT_EQ(InOrder(log, {"MSG : Expanding Environment Variable " + c.logged}), expanded);
  EXPECT_NE(log.back(), "MSG : Application Ended");
  EXPECT_EQ(ctx.LogStream, nullptr) << "the log is closed before the process ends";
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, RunMainResult,
    testing::Values(ResultCase{"Token", "%WINDIR%", "%WINDIR%", "C:\\WINDOWS\r\n"},
                    ResultCase{"OnlySpaces", "     ", "", ""},
                    ResultCase{"TokenLater", "abc %WINDIR%", "abc %WINDIR%", ""},
                    ResultCase{"LeadingTab", "\t%WINDIR%", "\t%WINDIR%", ""},
                    ResultCase{"LeadingQuote", "\"%WINDIR%\"", "\"%WINDIR%\"", ""},
                    // Line breaks in a text show as \r and \n in the log, so nothing in it
                    // reads as a line of its own; the result keeps them.
                    ResultCase{"ForgedLogLine",
                               "%COMPUTERNAME%\r\n12/09/2026 10:00:00\tERR : forged line",
                               "%COMPUTERNAME%\\r\\n12/09/2026 10:00:00\tERR : forged line",
                               "WS-0042\r\n12/09/2026 10:00:00\tERR : forged line\r\n"}),
    [](const auto& info) { return std::string(info.param.what); });

// Files planted at the first two temporary names the run draws are stepped past untouched:
// its own is made new under the third.
TEST_F(RunMain, EarlierResultIsReplacedWholeThroughAFileOfTheRunsOwn) {
  fake.files.files[ResultPath()].content = "a much longer earlier result line\r\n";
  const std::string planted[] = {ResultPath() + ".000000000001.tmp",
                                 ResultPath() + ".000000000002.tmp"};
  for (const std::string& path : planted) fake.files.files[path].content = "planted";
  ASSERT_TRUE(Run("%WINDIR%"));
  EXPECT_EQ(fake.files.Content(ResultPath()), "C:\\WINDOWS\r\n");
  EXPECT_EQ(fake.files.namesTried, 3);
  for (const std::string& path : planted) EXPECT_EQ(fake.files.Content(path), "planted");
}

TEST_F(RunMain, StartupErrorEndsInTheHandlerWithoutALog) {
  fake.files.files[ResultPath()].content = "earlier\r\n";
  fake.files.lockedFolders.insert("C:\\Agent");
  EXPECT_FALSE(Run("%WINDIR%"));
  EXPECT_EQ(fake.files.Content(ResultPath()), "earlier\r\n");
  EXPECT_FALSE(fake.files.FileExists(LogPath()));
}

TEST_F(RunMain, ResultThatCannotBeCreatedIsAbsent) {
  fake.files.files[ResultPath()].content = "earlier\r\n";
  fake.files.lockedFolders.insert("C:\\AGENT~1\\bin");
  EXPECT_FALSE(Run("%WINDIR%"));
  EXPECT_EQ(OtherFiles(), std::vector<std::string>{});
  ctx.LogStream->Close();
  EXPECT_EQ(Log().back(), "ERR : Main, Permission denied");
}

// A file system whose moves fail, or whose result file another run deletes between this
// run's existence test and its delete.
class ScriptedFiles : public FakeFiles {
 public:
  void MoveReplace(const std::string& from, const std::string& to) override {
    if (moveFails) throw FsoError(fso_error::kPermissionDenied);
    if (moveRefusals > 0) {
      --moveRefusals;
      throw FsoError(fso_error::kPermissionDenied);
    }
    FakeFiles::MoveReplace(from, to);
  }
  void CreateFolder(const std::string& path) override {
    FakeFiles::CreateFolder(path);
    if (foldersMadeByOtherRun) throw FsoError(fso_error::kFileAlreadyExists);
  }
  void DeleteFile(const std::string& path) override {
    if (deleteRefusals > 0 && path.find(".tmp") == std::string::npos) {
      --deleteRefusals;
      throw FsoError(fso_error::kPermissionDenied);
    }
    if (deletedByOtherRun == path) {
      files.erase(path);
      if (thirdRunWritesAgain) files[path].content = "third run\r\n";
      throw FsoError(deleteError);
    }
    FakeFiles::DeleteFile(path);
  }
  bool moveFails = false;
  bool foldersMadeByOtherRun = false;  // each new folder appears just before this run makes it
  int moveRefusals = 0;                // the next moves refused as in use by another run
  int deleteRefusals = 0;              // likewise the next deletes of the result
  std::string deletedByOtherRun;
  long deleteError = fso_error::kFileNotFound;
  bool thirdRunWritesAgain = false;
};

class RunMainScripted : public RunMain {
 protected:
  RunMainScripted() {
    files.folders = fake.files.folders;
    files.files = fake.files.files;
    files.versions = fake.files.versions;
  }
  bool RunOn(const std::string& commandLine) {
    Platform p = fake.View();
    TestContext scripted(Platform{p.registry, p.system, p.environment, p.clock, files, p.wmi, p.net,
                                  p.process, p.window});
    fake.process.rawArguments = commandLine;
    try {
      Main(scripted);
      return false;
    } catch (const ProcessEnded&) {
      return true;
    }
  }
  ScriptedFiles files;
};

TEST_F(RunMainScripted, ResultDeletedByAnotherRunIsNoError) {
  files.files[ResultPath()].content = "other run\r\n";
  files.deletedByOtherRun = ResultPath();
  ASSERT_TRUE(RunOn("%WINDIR%"));
  EXPECT_EQ(files.Content(ResultPath()), "C:\\WINDOWS\r\n");
}

// Runs started together: one removes the file this run is about to delete, another puts
// its own result there before this run looks again. The delete still got what it wanted.
TEST_F(RunMainScripted, ResultReplacedByOtherRunsDuringTheDeleteIsNoError) {
  for (const long error : {fso_error::kFileNotFound, fso_error::kPathNotFound}) {
    files.files[ResultPath()].content = "other run\r\n";
    files.deletedByOtherRun = ResultPath();
    files.deleteError = error;
    files.thirdRunWritesAgain = true;
    ASSERT_TRUE(RunOn("%WINDIR%")) << error;
    EXPECT_EQ(files.Content(ResultPath()), "C:\\WINDOWS\r\n");
  }
}

TEST_F(RunMainScripted, LogFoldersMadeByAnotherRunAtTheSameMomentAreUsed) {
  files.foldersMadeByOtherRun = true;
  ASSERT_TRUE(RunOn("%WINDIR%"));
  EXPECT_EQ(files.Content(ResultPath()), "C:\\WINDOWS\r\n");
}

// Another run holds the result file for a moment while it deletes or replaces it.
TEST_F(RunMainScripted, ResultInUseByAnotherRunForAMomentIsWaitedFor) {
  files.files[ResultPath()].content = "other run\r\n";
  files.deleteRefusals = 3;
  files.moveRefusals = 5;
  ASSERT_TRUE(RunOn("%WINDIR%"));
  EXPECT_EQ(files.Content(ResultPath()), "C:\\WINDOWS\r\n");
  EXPECT_EQ(fake.process.sleptMs, 80u);
}

TEST_F(RunMainScripted, ResultThatStaysRefusedFailsAfterHalfASecond) {
  files.files[ResultPath()].content = "earlier\r\n";
  files.deleteRefusals = 1000;
  EXPECT_FALSE(RunOn("%WINDIR%"));
  EXPECT_EQ(files.Content(ResultPath()), "earlier\r\n");
  EXPECT_EQ(fake.process.sleptMs, 490u);
  EXPECT_NE(files.Content(LogPath()).find("\tERR : Main, Permission denied\r\n"),
            std::string::npos);
}

TEST_F(RunMainScripted, FailedMoveLeavesNoTemporaryFile) {
  files.files[ResultPath()].content = "earlier\r\n";
  files.moveFails = true;
  EXPECT_FALSE(RunOn("%WINDIR%"));
  for (const auto& [path, file] : files.files)
    EXPECT_TRUE(path == ExePath() || path == LogPath()) << path;
  EXPECT_NE(files.Content(LogPath()).find("\tERR : Main, Permission denied\r\n"),
            std::string::npos);
}

TEST_F(RunMain, ResultBesideAnExecutableInADriveRoot) {
  fake.process.folder = "C:\\";
  fake.files.files[std::string("C:\\") + kPathSep + "qEnv" + kExeSuffix] = {};
  fake.system.shortPaths["C:\\"] = "C:\\";
  ASSERT_TRUE(Run("%WINDIR%"));
  EXPECT_EQ(fake.files.Content(std::string("C:\\") + kPathSep + "EnvironmentVar.txt"),
            "C:\\WINDOWS\r\n");
}

TEST_F(RunMain, FolderWithoutShortFormStandsAsItIs) {
  fake.system.shortPaths.clear();
  fake.files.files[std::string("C:\\Agent\\bin") + kPathSep + "qEnv" + kExeSuffix] = {};
  ASSERT_TRUE(Run("%WINDIR%"));
  EXPECT_EQ(fake.files.Content(std::string("C:\\Agent\\bin") + kPathSep + "EnvironmentVar.txt"),
            "C:\\WINDOWS\r\n");
}

TEST_F(RunMain, EntryClosesTheLogAfterTheHandler) {
  fake.files.files[ResultPath()] = {"earlier\r\n", true};
  fake.process.rawArguments = "%WINDIR%";
  EXPECT_EQ(qEnvEntry(fake.View()), 0);
  EXPECT_EQ(LogMessagesOf(LogPath()).back(), "ERR : Main, Permission denied");
}

}  // namespace
