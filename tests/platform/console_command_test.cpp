// The real Process service runs a console command through the system's interpreter with
// its output redirected into a file whose folder name holds the characters that split an
// unquoted command line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "platform/process.h"
#include "platform/service_factories.h"
#include "support/read_bytes.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

TEST(ConsoleCommand, OutputLandsInAQuotedScratchPath) {
  const fs::path folder = fs::temp_directory_path() / "qenv p & q ^ r";
  fs::create_directories(folder);
  const fs::path file = folder / "IPData.txt";
  fs::remove(file);

  auto process = CreateProcess(0, nullptr);
  const std::string interpreter = process->CommandInterpreter();
  ASSERT_TRUE(fs::path(interpreter).is_absolute()) << interpreter;
  const std::string line = process->RedirectedCommandLine("echo hello", file.string());
  EXPECT_NE(process->RunHidden(interpreter, line, 10000), 0u) << line;

  ASSERT_TRUE(fs::exists(file)) << line;
  const std::string content = ReadBytes(file);
  EXPECT_EQ(content.substr(0, 5), "hello") << content;
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

}  // namespace
