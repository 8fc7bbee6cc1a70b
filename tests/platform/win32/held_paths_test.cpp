// Windows: what a run holds cannot be renamed, and so cannot be swapped for a link, while it
// holds it (sharing violation, 32): the log folders while the log file is made below them,
// the IP lookup's scratch file from its making until it is read. And what the lookup
// starts: cmd.exe /d, the program by full path, an environment of its own.
#include "platform/win32/console_launch.h"
#include "platform/win32/win32_api.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/files.h"
#include "platform/process.h"
#include "platform/service_factories.h"

namespace {

namespace fs = std::filesystem;

// The error of renaming from to to, 0 when the rename was done.
DWORD RenameError(const fs::path& from, const fs::path& to) {
  return MoveFileA(from.string().c_str(), to.string().c_str()) ? 0 : GetLastError();
}

std::string Folder(UINT(WINAPI* get)(LPSTR, UINT)) {
  char dir[MAX_PATH] = {};
  return std::string(dir, get(dir, MAX_PATH));
}

bool UnderWow64() {
  BOOL wow = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow) && wow;
}

TEST(HeldPaths, FoldersHeldForTheLogCannotBeRenamed) {
  const fs::path root = fs::temp_directory_path() / "qenv-held-folders";
  fs::remove_all(root);
  fs::create_directories(root / "agent");
  auto files = CreateFiles();
  {
    const auto install = files->OpenFolder((root / "agent").string());
    const auto applicationLog = install->SubFolder("ApplicationLog");
    const auto logFolder = applicationLog->SubFolder("qRTKLog");
    const auto log = logFolder->AppendTo("log.txt");
    for (const fs::path& held : {root / "agent", root / "agent" / "ApplicationLog",
                                 root / "agent" / "ApplicationLog" / "qRTKLog"})
      EXPECT_EQ(RenameError(held, root / "moved"), 32u) << held;
  }
  EXPECT_EQ(RenameError(root / "agent", root / "moved"), 0u) << "free once released";
  fs::remove_all(root);
}

TEST(HeldPaths, TheScratchFileCannotBeRenamedFromItsMakingUntilItIsRead) {
  const fs::path folder = fs::temp_directory_path() / "qenv-held-scratch";
  fs::remove_all(folder);
  fs::create_directories(folder);
  auto files = CreateFiles();
  std::string scratch;
  auto made = files->CreateUniqueTextFile((folder / "IPData.").string(), ".txt", scratch);
  EXPECT_EQ(RenameError(scratch, folder / "moved.txt"), 32u);
  made.reset();
  // While the command runs, its own attempt fails too: the file is its output, held open.
  auto process = CreateProcess(0, nullptr);
  const std::string move =
      "cmd /c move \"" + scratch + "\" \"" + (folder / "moved.txt").string() + "\"";
  EXPECT_NE(process->RunRedirected(move, scratch, 10000), 0u);
  EXPECT_TRUE(fs::exists(scratch));
  EXPECT_FALSE(fs::exists(folder / "moved.txt"));
  fs::remove_all(folder);
}

TEST(ConsoleLaunch, CmdWithoutAutoRunStartsTheSystemProgramInAnEnvironmentOfItsOwn) {
  const std::string system = Folder(GetSystemDirectoryA);
  const std::string windows = Folder(GetSystemWindowsDirectoryA);
  const std::string cmd = system + "\\cmd.exe";
  const ConsoleLaunch ipconfig = BuildConsoleLaunch("ipconfig");
  EXPECT_EQ(ipconfig.interpreter, cmd);
  EXPECT_EQ(ipconfig.commandLine, cmd + " /d /c " + system + "\\ipconfig.exe");
  EXPECT_EQ(ipconfig.folder, system);
  EXPECT_EQ(ipconfig.environment, "ComSpec=" + cmd + '\0' + "PATH=" + system + '\0' +
                                      "PATHEXT=.COM;.EXE" + '\0' + "SystemRoot=" + windows + '\0' +
                                      "windir=" + windows + '\0' + '\0');
  // nbtstat is a native program only: under WOW64 it is reached through Sysnative.
  const std::string nbtstatFolder = UnderWow64() ? windows + "\\Sysnative" : system;
  EXPECT_EQ(BuildConsoleLaunch("NBTSTAT -A").commandLine,
            cmd + " /d /c " + nbtstatFolder + "\\NBTSTAT.exe -A");
}

}  // namespace
