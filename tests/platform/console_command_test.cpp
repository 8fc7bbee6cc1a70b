// The real Process service runs a system program through the system's interpreter with its
// output in a file of the caller's: whatever the file's path holds, and whatever the
// caller's search path and current folder hold.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/files.h"
#include "platform/process.h"
#include "platform/service_factories.h"
#include "support/read_bytes.h"
#include "support/scoped_variables.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

// A fresh empty file in a folder whose name holds what would split or expand an unquoted
// command line ("&", "^", "%OS%").
fs::path ScratchIn(const std::string& folderName) {
  const fs::path folder = fs::temp_directory_path() / folderName;
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path file = folder / "IPData.txt";
  std::ofstream(file, std::ios::binary).flush();
  return file;
}

TEST(ConsoleCommand, OutputLandsInTheGivenFileWhateverItsPathHolds) {
  const fs::path file = ScratchIn("qenv p & q ^ r %OS% s");
  auto process = CreateProcess(0, nullptr);
  ASSERT_TRUE(fs::path(process->CommandInterpreter()).is_absolute());
  EXPECT_NE(process->RunRedirected("ipconfig", file.string(), 10000), 0u);
  // ipconfig's listing, or the POSIX shell's word that it has none; nothing else beside it.
  EXPECT_FALSE(ReadBytes(file).empty());
  EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), {}), 1);
  fs::remove_all(file.parent_path());
}

TEST(ConsoleCommand, ProgramThatDoesNotExistGivesNoTask) {
  auto process = CreateProcess(0, nullptr);
  const fs::path missing = fs::temp_directory_path() / "qenv-missing" / "cmd.exe";
  EXPECT_EQ(process->RunHidden(missing.string(), "cmd.exe /c echo x", 1000), 0u);
}

// Programs named like the lookups' commands, first in the caller's search path and in its
// current folder, each leaving a marker and an address: none of them runs.
TEST(ConsoleCommand, ProgramsPlantedInTheSearchPathOrCurrentFolderNeverRun) {
  const fs::path planted = fs::temp_directory_path() / "qenv-planted-commands";
  fs::remove_all(planted);
  fs::create_directories(planted);
  for (const std::string name : {"ipconfig", "nbtstat", "NBTSTAT"}) {
    std::ofstream(planted / (name + ".bat"))
        << "@echo ran>\"%~dp0" << name << ".ran\"\r\n"
        << "@echo IPv4 Address. . . : 203.0.113.9\r\n@echo Node IpAddress: [203.0.113.9]\r\n";
    std::ofstream(planted / name) << "#!/bin/sh\necho ran > \"$(dirname \"$0\")/" << name
                                  << ".ran\"\necho 'Node IpAddress: [203.0.113.9]'\n";
    fs::permissions(planted / name, fs::perms::owner_all, fs::perm_options::add);
  }
  const std::string listSep = kPathSep[0] == '\\' ? ";" : ":";
  ScopedVariables path{
      {"PATH", planted.string() + listSep + test_support::ProcessVariable("PATH").value_or("")}};
  const fs::path before = fs::current_path();
  fs::current_path(planted);
  auto process = CreateProcess(0, nullptr);
  for (const char* command : {"ipconfig", "NBTSTAT -A"}) {
    const fs::path file = ScratchIn("qenv-planted-output");
    process->RunRedirected(command, file.string(), 10000);
    EXPECT_EQ(ReadBytes(file).find("203.0.113.9"), std::string::npos) << command;
  }
  fs::current_path(before);
  for (const auto& entry : fs::directory_iterator(planted))
    EXPECT_NE(entry.path().extension(), ".ran") << entry.path();
  fs::remove_all(planted);
  fs::remove_all(fs::temp_directory_path() / "qenv-planted-output");
}

}  // namespace
