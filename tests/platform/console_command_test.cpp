// The real Process service runs a system program through the system's interpreter with its
// output in a file whose folder name holds what would split or expand an unquoted command
// line; nothing in the caller's search path or current folder runs instead.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "platform/files.h"
#include "platform/process.h"
#include "platform/service_factories.h"
#include "support/read_bytes.h"
#include "support/scoped_variables.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

TEST(ConsoleCommand, OutputLandsInAQuotedScratchPath) {
  const fs::path folder = fs::temp_directory_path() / "qenv p & q ^ r %OS% s";
  fs::create_directories(folder);
  const fs::path file = folder / "IPData.txt";
  std::ofstream(file).flush();

  auto process = CreateProcess(0, nullptr);
  const std::string interpreter = process->CommandInterpreter();
  ASSERT_TRUE(fs::path(interpreter).is_absolute()) << interpreter;
  EXPECT_NE(process->RunRedirected("ipconfig", file.string(), 10000), 0u);
  // ipconfig's listing, or the POSIX shell's word that there is none; nothing beside it.
  EXPECT_FALSE(ReadBytes(file).empty());
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
  fs::remove_all(folder);
}

// The scratch file must still be the plain file with one name that the run made: a second
// name (a link to any file) or a FIFO put at its name is not written into.
TEST(ConsoleCommand, OutputFileWithASecondNameOrAFifoIsNotWritten) {
  const fs::path folder =
      fs::temp_directory_path() / ("qenv-scratch-" + std::to_string(std::random_device{}()));
  fs::create_directories(folder);
  { std::ofstream(folder / "victim") << "precious"; }
  fs::create_hard_link(folder / "victim", folder / "linked.txt");
  std::vector<fs::path> planted{folder / "linked.txt"};
  if (test_support::MakeFifo((folder / "fifo.txt").string()))
    planted.push_back(folder / "fifo.txt");
  auto process = CreateProcess(0, nullptr);
  for (const fs::path& file : planted)
    EXPECT_EQ(process->RunRedirected("echo planted", file.string(), 10000), 0u) << file;
  EXPECT_EQ(ReadBytes(folder / "victim"), "precious");
  fs::remove_all(folder);
}

TEST(ConsoleCommand, ProgramThatDoesNotExistGivesNoTask) {
  auto process = CreateProcess(0, nullptr);
  const fs::path missing = fs::temp_directory_path() / "qenv-missing" / "cmd.exe";
  EXPECT_EQ(process->RunHidden(missing.string(), "cmd.exe /c echo x", 1000), 0u);
}

// Each planted program would leave a marker: none may.
TEST(ConsoleCommand, ProgramsPlantedInTheSearchPathOrCurrentFolderNeverRun) {
  const fs::path planted = fs::temp_directory_path() / "qenv-planted";
  fs::create_directories(planted);
  for (const std::string name : {"ipconfig", "nbtstat", "NBTSTAT"}) {
    std::ofstream(planted / (name + ".bat")) << "@echo ran>\"%~dp0" << name << ".ran\"\r\n";
    std::ofstream(planted / name) << "#!/bin/sh\necho ran >\"${0%/*}/" << name << ".ran\"\n";
    fs::permissions(planted / name, fs::perms::owner_all, fs::perm_options::add);
  }
  std::ofstream(planted / "out.txt").flush();
  const ScopedVariables path{{"PATH", planted.string() + (kPathSep[0] == '\\' ? ";" : ":") +
                                          test_support::ProcessVariable("PATH").value_or("")}};
  const fs::path before = fs::current_path();
  fs::current_path(planted);
  for (const char* command : {"ipconfig", "NBTSTAT -A"})
    CreateProcess(0, nullptr)->RunRedirected(command, (planted / "out.txt").string(), 10000);
  fs::current_path(before);
  for (const auto& entry : fs::directory_iterator(planted))
    EXPECT_NE(entry.path().extension(), ".ran") << entry.path();
  fs::remove_all(planted);
}

}  // namespace
