#include "platform/win32/console_launch.h"

#include "platform/win32/win32_api.h"
// after windows.h
#include <string>

namespace {

std::string Folder(UINT(WINAPI* get)(LPSTR, UINT)) {
  char dir[MAX_PATH] = {};
  const UINT n = get(dir, MAX_PATH);
  return n == 0 || n >= MAX_PATH ? "" : std::string(dir, n);
}

bool IsFile(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsWow64() {
  BOOL wow = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow) && wow;
}

std::string Quoted(const std::string& path) {
  return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}

}  // namespace

ConsoleLaunch BuildConsoleLaunch(const std::string& command) {
  ConsoleLaunch launch;
  const std::string system = Folder(GetSystemDirectoryA);
  const std::string windows = Folder(GetSystemWindowsDirectoryA);
  if (system.empty() || windows.empty()) return launch;

  const std::size_t blank = command.find(' ');
  const std::string name = command.substr(0, blank) + ".exe";
  std::string program = system + "\\" + name;
  if (!IsFile(program) && IsWow64()) program = windows + "\\Sysnative\\" + name;
  std::string run = Quoted(program) + (blank == std::string::npos ? "" : command.substr(blank));
  // cmd.exe drops the first and the last quote of a command that begins with one.
  if (run.front() == '"') run = "\"" + run + "\"";

  launch.interpreter = system + "\\cmd.exe";
  launch.commandLine = Quoted(launch.interpreter) + " /d /c " + run;
  // Sorted by name without regard to case, as Windows expects a block to be.
  for (const std::string& variable :
       {"ComSpec=" + launch.interpreter, "PATH=" + system, std::string("PATHEXT=.COM;.EXE"),
        "SystemRoot=" + windows, "windir=" + windows}) {
    launch.environment += variable;
    launch.environment += '\0';
  }
  launch.environment += '\0';
  launch.folder = system;
  return launch;
}
