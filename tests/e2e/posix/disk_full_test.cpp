// The built qEnv with its log folders on a small disk that is full, or fills while the log
// is written: the run still ends normally with its result, and the log keeps whole lines.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "e2e/agent_install.h"

namespace fs = std::filesystem;

namespace {

// A 64 KiB tmpfs over the agent's installation folder for the test's length.
class SmallDisk : public testing::Test {
 protected:
  void SetUp() override {
    mount_ = agent_.InstallDir();
    const std::string command =
        "mount -t tmpfs -o size=64k qenv-e2e-full '" + mount_ + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0)
      GTEST_SKIP() << "cannot mount a small tmpfs here (needs root and mount rights): the "
                      "full-disk cases are not run";
    mounted_ = true;
  }
  void TearDown() override {
    if (mounted_) std::system(("umount '" + mount_ + "'").c_str());
  }
  // Fills the disk to its last byte with one file.
  void Fill() {
    std::ofstream out(fs::path(mount_) / "filler", std::ios::binary);
    const std::string block(4096, 'f');
    while (out.write(block.data(), block.size())) {
    }
  }

  AgentInstall agent_;
  std::string mount_;
  bool mounted_ = false;
};

// Tokens between a long plain text: the splitter logs the whole text after every
// replacement, some megabytes in all, far beyond the disk.
std::string Chatty(std::string& expanded) {
  const std::string plain(30000, 'p');
  std::string text = "%PROGRAMFILES%" + plain;
  expanded = std::string(AgentInstall::kProgramFiles) + plain;
  for (int i = 0; i < 100; ++i) {
    const std::string token = "%PROGRAMFILES" + std::string(i % 2 ? " " : "") + "%";
    text += token;
    expanded += AgentInstall::kProgramFiles;
  }
  return text;
}

TEST_F(SmallDisk, FillingWhileTheLogIsWrittenLosesLinesButNeverTearsOne) {
  std::string expanded;
  const std::string text = Chatty(expanded);
  agent_.Run(" " + text);
  EXPECT_EQ(agent_.Result(), expanded + "\r\n");
  const auto files = agent_.LogFiles();
  ASSERT_EQ(files.size(), 1u);
  // Every line whole (LogMessages fails one that is not), up to where the disk filled.
  const auto log = agent_.LogMessages(files[0]);
  ASSERT_GE(log.size(), 2u) << "lines that fitted were lost";
  EXPECT_EQ(log[0], std::string(85, '*'));
  EXPECT_EQ(log[1], "MSG : Application started");
}

TEST_F(SmallDisk, FullBeforeTheRunStillGivesTheResult) {
  Fill();
  agent_.Run(" %PROGRAMFILES%");
  EXPECT_EQ(agent_.Result(), std::string(AgentInstall::kProgramFiles) + "\r\n");
  for (const auto& file : agent_.LogFiles()) EXPECT_TRUE(agent_.LogMessages(file).empty());
}

}  // namespace
