// The built qEnv on a store file that is damaged, empty, unreadable to the account that
// runs it, held locked by another process, or a link (POSIX build: the registry is that file).
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "e2e/agent_install.h"

namespace fs = std::filesystem;

namespace {

const std::string kTool = std::string(QENV_BINARY_DIR) + "/bin/registry_store_tool";

// A run that could not read its identity ends before the log and leaves the result alone.
void ExpectSilentEnd(const AgentInstall& agent) {
  EXPECT_EQ(agent.Result(), "earlier\r\n");
  EXPECT_FALSE(fs::exists(fs::path(agent.InstallDir()) / "ApplicationLog"));
}

TEST(StoreFile, DamagedOrEmptyEndsTheRunSilentlyAndStaysAsItWas) {
  for (const std::string& content : {std::string(4096, 'Z'), std::string()}) {
    SCOPED_TRACE(content.size());
    AgentInstall agent;
    { std::ofstream(agent.StorePath(), std::ios::binary | std::ios::trunc) << content; }
    agent.WriteResult("earlier\r\n", false);
    agent.Run(" %QARNAGENTID%");
    ExpectSilentEnd(agent);
    EXPECT_EQ(ReadBytes(agent.StorePath()), content);
  }
}

// A store file replaced by a link (to a valid store, even): the run reads nothing through
// it, ends as with an unreadable store, and the file behind the link stays byte for byte.
TEST(StoreFile, ALinkInPlaceOfTheStoreIsNeverFollowed) {
  AgentInstall agent;
  const fs::path real = agent.Root() / "elsewhere.db";
  fs::rename(agent.StorePath(), real);
  fs::create_symlink(real, agent.StorePath());
  const std::string bytes = ReadBytes(real);
  ASSERT_FALSE(bytes.empty());
  agent.WriteResult("earlier\r\n", false);
  agent.Run(" %QARNAGENTID%");
  ExpectSilentEnd(agent);
  EXPECT_EQ(ReadBytes(real), bytes);
  for (const char* beside : {"-wal", "-shm", "-journal"})
    EXPECT_FALSE(fs::exists(real.string() + beside)) << beside;
}

// Runs qEnv as an account without privileges when the test runs as root (root reads every
// file whatever its mode), else as the test's own account. Returns the shell's status.
int RunUnprivileged(const AgentInstall& agent, const std::string& args) {
  const std::string prefix =
      ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
  return std::system((prefix + "'" + agent.ExePath().string() + "' '" + args + "'").c_str());
}

TEST(StoreFile, OneTheAccountMayNotReadEndsTheRunSilently) {
  for (const bool readable : {true, false}) {
    SCOPED_TRACE(readable ? "readable" : "unreadable");
    AgentInstall agent;
    agent.WriteResult("earlier\r\n", false);
    // Everything but the store is open to the account, so only the store decides.
    for (const fs::path& folder : {agent.Root(), agent.BinDir(), fs::path(agent.InstallDir())})
      fs::permissions(folder, fs::perms::all);
    fs::permissions(agent.ResultPath(), fs::perms::all);
    fs::permissions(agent.StorePath(), readable ? fs::perms::owner_read | fs::perms::owner_write |
                                                      fs::perms::group_read | fs::perms::others_read
                                                : fs::perms::none);
    ASSERT_EQ(RunUnprivileged(agent, "%QARNAGENTID%"), 0);
    if (readable) {
      EXPECT_EQ(agent.Result(), "1234\r\n");
      EXPECT_EQ(agent.LogFiles().size(), 1u);
    } else {
      ExpectSilentEnd(agent);
    }
  }
}

// Another process holding the store locked for holdMs: started, and waited for until it
// holds the lock.
class StoreHolder {
 public:
  StoreHolder(const fs::path& store, int holdMs) : out_(store.string() + ".holder") {
    const std::string command = "'" + kTool + "' hold '" + store.string() + "' " +
                                std::to_string(holdMs) + " >'" + out_ + "' 2>&1 & echo $! >'" +
                                out_ + ".pid'";
    EXPECT_EQ(std::system(("sh -c \"" + command + "\"").c_str()), 0);
    for (int i = 0; i < 1000 && ReadBytes(out_).find("locked") == std::string::npos; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    locked_ = ReadBytes(out_).find("locked") != std::string::npos;
  }
  ~StoreHolder() {
    // Ends the holder this test started, by its id, and reaps nothing else.
    const std::string pid = ReadBytes(out_ + ".pid");
    if (!pid.empty()) std::system(("kill " + pid + " 2>/dev/null").c_str());
  }
  bool Locked() const { return locked_; }

 private:
  std::string out_;
  bool locked_ = false;
};

TEST(StoreFile, LockedForAMomentTheRunWaitsAndGoesOn) {
  AgentInstall agent;
  StoreHolder holder(agent.StorePath(), 1500);
  ASSERT_TRUE(holder.Locked()) << ReadBytes(agent.StorePath().string() + ".holder");
  agent.Run(" %QARNAGENTID%");
  EXPECT_EQ(agent.Result(), "1234\r\n");
}

TEST(StoreFile, LockedThroughTheRunEndsItSilentlyWithoutHanging) {
  AgentInstall agent;
  agent.WriteResult("earlier\r\n", false);
  StoreHolder holder(agent.StorePath(), 120000);
  ASSERT_TRUE(holder.Locked()) << ReadBytes(agent.StorePath().string() + ".holder");
  agent.Run(" %QARNAGENTID%");
  ExpectSilentEnd(agent);
}

}  // namespace
