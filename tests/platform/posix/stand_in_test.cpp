// What only the POSIX stand-ins do: Windows variables mapped to their Linux counterparts,
// the "C" locale's separators, the log files' modes and locks.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>

#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/posix/host_domain.h"
#include "platform/service_factories.h"
#include "support/scoped_variables.h"

namespace {

struct MappingCase {
  std::string label;
  std::map<std::string, std::optional<std::string>> vars;
  std::string asked;
  std::string expected;
};

TEST(PosixEnvironment, WindowsVariablesFallBackToLinuxCounterparts) {
  const std::nullopt_t unset = std::nullopt;
  const std::vector<MappingCase> cases{
      {"TEMP set wins", {{"TEMP", "/t1"}, {"TMPDIR", "/t2"}}, "TEMP", "/t1"},
      {"TEMP from TMPDIR", {{"TEMP", unset}, {"TMPDIR", "/t2"}}, "Temp", "/t2"},
      {"TEMP defaults to /tmp", {{"TEMP", unset}, {"TMPDIR", unset}}, "TEMP", "/tmp"},
      {"empty TMPDIR ignored", {{"TEMP", unset}, {"TMPDIR", ""}}, "TEMP", "/tmp"},
      {"APPDATA from XDG",
       {{"APPDATA", unset}, {"XDG_CONFIG_HOME", "/x/cfg"}},
       "APPDATA",
       "/x/cfg"},
      {"APPDATA under HOME",
       {{"APPDATA", unset}, {"XDG_CONFIG_HOME", unset}, {"HOME", "/home/u"}},
       "AppData",
       "/home/u/.config"},
      {"unmapped stays empty", {{"qEnv_Unmapped", unset}}, "qEnv_Unmapped", ""},
  };
  for (const MappingCase& c : cases) {
    ScopedVariables scope;
    for (const auto& [name, value] : c.vars) scope.Set(name, value);
    EXPECT_EQ(CreateEnvironment()->GetVariable(c.asked), c.expected) << c.label;
  }
}

TEST(PosixEnvironment, ExactSpellingWinsOverOtherCase) {
  ScopedVariables scope;
  scope.Set("qEnvCase", "lower");
  scope.Set("QENVCASE", "upper");
  auto env = CreateEnvironment();
  EXPECT_EQ(env->GetVariable("qEnvCase"), "lower");
  EXPECT_EQ(env->GetVariable("QENVCASE"), "upper");
  const std::string other = env->GetVariable("qenvcase");
  EXPECT_TRUE(other == "lower" || other == "upper") << other;
}

// Unset, USERDOMAIN is the host name's domain, else its canonical name's.
TEST(PosixEnvironment, UserDomainIsTheHostsDomainUnlessSet) {
  EXPECT_EQ(posix::DomainOfHost("vm.corp.example", "vm.other.example"), "corp.example");
  EXPECT_EQ(posix::DomainOfHost("vm", "vm.lan.example"), "lan.example");
  EXPECT_EQ(posix::DomainOfHost("vm", "vm"), "");
  ScopedVariables scope;
  scope.Set("USERDOMAIN", "CORP");
  EXPECT_EQ(CreateEnvironment()->GetVariable("userdomain"), "CORP");
}

TEST(PosixClock, SeparatorsAreThoseOfTheCLocale) {
  auto clock = CreateClock();
  EXPECT_EQ(clock->TimeSeparator(), ":");
  EXPECT_EQ(clock->DecimalSeparator(), ".");
}

// Log folders and files made here are 0750 and 0640 even under a umask that takes the owner's
// own rights; a file that was there keeps its mode. Another writer's lock holds a write only
// so long.
TEST(PosixFiles, LogFoldersAndFilesAreClosedToOthersAndALockDoesNotHoldAWrite) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("qenv-modes-" + std::to_string(::getpid()));
  fs::create_directories(root);
  std::ofstream(root / "kept.txt").flush();
  fs::permissions(root / "kept.txt", fs::perms(0604));
  const mode_t was = ::umask(0277);
  const auto folder = CreateFiles()->OpenFolder(root.string());
  folder->SubFolder("made")->AppendTo("log.txt");
  auto kept = folder->AppendTo("kept.txt");
  ::umask(was);
  EXPECT_EQ(fs::status(root / "made").permissions(), fs::perms(0750));
  EXPECT_EQ(fs::status(root / "made" / "log.txt").permissions(), fs::perms(0640));
  EXPECT_EQ(fs::status(root / "kept.txt").permissions(), fs::perms(0604));
  const int held = ::open((root / "kept.txt").c_str(), O_RDONLY);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  kept->WriteLine("lost");
  EXPECT_THROW(kept->Close(), RuntimeError);
  ::close(held);
  fs::remove_all(root);
}

}  // namespace
