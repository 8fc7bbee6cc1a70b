// The real Process service runs a console command through the system's interpreter with
// its output redirected into a file whose folder name holds the characters that split an
// unquoted command line.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/process.h"
#include "platform/service_factories.h"
#include "support/read_bytes.h"

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

TEST(ConsoleCommand, ProgramThatDoesNotExistGivesNoTask) {
  auto process = CreateProcess(0, nullptr);
  const fs::path missing = fs::temp_directory_path() / "qenv-missing" / "cmd.exe";
  EXPECT_EQ(process->RunHidden(missing.string(), "cmd.exe /c echo x", 1000), 0u);
}

}  // namespace
