// Windows: what a run holds cannot be renamed, so cannot be swapped for a link, while it holds
// it (32, a sharing violation); what a console lookup starts.
#include "platform/win32/console_launch.h"
#include "platform/win32/win32_api.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files.h"
#include "platform/process.h"
#include "platform/service_factories.h"

namespace {

namespace fs = std::filesystem;

DWORD RenameError(const fs::path& from, const fs::path& to) {
  return MoveFileA(from.string().c_str(), to.string().c_str()) ? 0 : GetLastError();
}

TEST(HeldPaths, LogFoldersAndTheScratchFileCannotBeRenamedWhileHeld) {
  const fs::path root = fs::temp_directory_path() / "qenv-held";
  fs::create_directories(root / "agent");
  auto files = CreateFiles();
  std::string scratch;
  {
    const auto logFolder = files->OpenFolder((root / "agent").string())->SubFolder("Log");
    const auto made = files->CreateUniqueTextFile((root / "IPData.").string(), ".txt", scratch);
    for (const fs::path& held : {root / "agent", root / "agent" / "Log", fs::path(scratch)})
      EXPECT_EQ(RenameError(held, root / "moved"), 32u) << held;
  }
  // While the command runs the file is its output, held: its own rename fails too.
  const std::string move = "cmd /c move \"" + scratch + "\" \"" + (root / "moved").string() + "\"";
  EXPECT_NE(CreateProcess(0, nullptr)->RunRedirected(move, scratch, 10000), 0u);
  EXPECT_FALSE(fs::exists(root / "moved"));
  EXPECT_EQ(RenameError(root / "agent", root / "moved"), 0u) << "free once released";
  fs::remove_all(root);
}

TEST(ConsoleLaunch, CmdWithoutAutoRunTheProgramByFullPathAndAnEnvironmentOfItsOwn) {
  char system[MAX_PATH], windows[MAX_PATH];
  const std::string sys(system, GetSystemDirectoryA(system, MAX_PATH));
  const std::string win(windows, GetSystemWindowsDirectoryA(windows, MAX_PATH));
  const ConsoleLaunch ipconfig = BuildConsoleLaunch("ipconfig");
  EXPECT_EQ(ipconfig.commandLine, sys + "\\cmd.exe /d /c " + sys + "\\ipconfig.exe");
  EXPECT_EQ(ipconfig.environment, "ComSpec=" + sys + "\\cmd.exe" + '\0' + "PATH=" + sys + '\0' +
                                      "PATHEXT=.COM;.EXE" + '\0' + "SystemRoot=" + win + '\0' +
                                      "windir=" + win + '\0' + '\0');
  BOOL wow = FALSE;  // nbtstat is a native program only: under WOW64 it is in Sysnative
  const std::string native =
      IsWow64Process(GetCurrentProcess(), &wow) && wow ? win + "\\Sysnative" : sys;
  EXPECT_EQ(BuildConsoleLaunch("NBTSTAT -A").commandLine,
            sys + "\\cmd.exe /d /c " + native + "\\NBTSTAT.exe -A");
}

}  // namespace
