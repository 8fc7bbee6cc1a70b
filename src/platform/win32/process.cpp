// The running process and the programs it starts, through kernel32.
#include "platform/process.h"

#include "platform/win32/win32_api.h"
// after windows.h
#include <memory>
#include <string>
#include <vector>

#include "platform/executable_path.h"
#include "platform/win32/console_launch.h"
#include "platform/win32/owned_handle.h"

const char kExeSuffix[] = ".exe";

namespace {

// The command line after the program name, as the caller wrote it: the program name
// ends at the closing quote or the first blank; the spaces after it are not arguments,
// while a tab there is part of them.
std::string ArgumentsOf(const char* cmd) {
  if (!cmd) return "";
  const char* p = cmd;
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p && *p != ' ' && *p != '\t') ++p;
  }
  while (*p == ' ') ++p;
  return p;
}

std::string ModulePath() {
  std::vector<char> buf(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return "";
    if (n < buf.size()) return std::string(buf.data(), n);
    buf.resize(buf.size() * 2);
  }
}

class Win32Process final : public Process {
 public:
  Win32Process() {
    raw_ = ArgumentsOf(GetCommandLineA());
    ExecutablePath exe = SplitExecutablePath(ModulePath(), "\\/");
    folder_ = std::move(exe.folder);
    name_ = std::move(exe.name);
  }

  std::string RawArguments() override { return raw_; }
  std::string ExecutableFolder() override { return folder_; }
  std::string ExecutableName() override { return name_; }
  std::uint32_t ProcessId() override { return GetCurrentProcessId(); }

  std::uint32_t StartDetached(const std::string& program, const std::string& commandLine) override {
    return Start(program, commandLine, SW_SHOWMINIMIZED).id;
  }

  std::uint32_t RunHidden(const std::string& program, const std::string& commandLine,
                          std::uint32_t timeoutMs) override {
    // The program's own folder is its current folder: the command interpreter looks for a
    // command in the current folder before the search path, and the caller's current
    // folder may hold a program of that name (a planted ipconfig.exe) that must not run.
    const std::size_t slash = program.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "" : program.substr(0, slash + 1);
    const Started started = Start(program, commandLine, SW_HIDE, folder);
    if (started.id != 0) WaitForSingleObject(started.process.Get(), timeoutMs);
    return started.id;
  }

  std::uint32_t RunRedirected(const std::string& command, const std::string& outputFile,
                              std::uint32_t timeoutMs) override {
    // The scratch file is the command's output and error output: this handle, inherited, so
    // that cmd.exe never opens the file by its name. It has data access and no delete
    // sharing (sharing checks see only holders with data or delete access): nobody can
    // rename the file away and put a link at its name while the command writes.
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const OwnedHandle output(CreateFileA(outputFile.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                         OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!output) return 0;
    BY_HANDLE_FILE_INFORMATION info{};
    const DWORD byName = GetFileAttributesA(outputFile.c_str());
    const bool plain =
        GetFileInformationByHandle(output.Get(), &info) && info.nNumberOfLinks == 1 &&
        !(info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) &&
        byName != INVALID_FILE_ATTRIBUTES && !(byName & FILE_ATTRIBUTE_REPARSE_POINT);
    const ConsoleLaunch launch = BuildConsoleLaunch(command);
    if (!plain || launch.interpreter.empty()) return 0;
    const Started started = Start(launch.interpreter, launch.commandLine, SW_HIDE, launch.folder,
                                  output.Get(), &launch.environment);
    if (started.id != 0) WaitForSingleObject(started.process.Get(), timeoutMs);
    return started.id;
  }

  std::string CommandInterpreter() override {
    char dir[MAX_PATH] = {};
    UINT n = GetSystemDirectoryA(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return "";
    return std::string(dir, n) + "\\cmd.exe";
  }

  // What RunRedirected starts, and where the output goes (the file itself is handed over as
  // a handle, never named to cmd.exe: a "%" in its path is never expanded).
  std::string RedirectedCommandLine(const std::string& command,
                                    const std::string& outputFile) override {
    return BuildConsoleLaunch(command).commandLine + " >\"" + outputFile + "\"";
  }

  void Sleep(std::uint32_t ms) override { ::Sleep(ms); }

  bool InputIsTerminal() override {
    // A console input handle answers GetConsoleMode; a pipe, file or no handle does not.
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    return in != nullptr && in != INVALID_HANDLE_VALUE && GetFileType(in) == FILE_TYPE_CHAR &&
           GetConsoleMode(in, &mode) != 0;
  }

  void HideFromTaskList() override {
    // A GUI-subsystem program without a window has no task-list entry; nothing to do.
  }

  [[noreturn]] void Exit(int code) override { ExitProcess(static_cast<UINT>(code)); }

 private:
  // A program that started, with its handles; id 0 and no handles when it did not start.
  struct Started {
    std::uint32_t id = 0;
    OwnedHandle process;
    OwnedHandle thread;
  };

  // output: when given, the program's standard output and error output (inherited, the
  // only handle this process makes inheritable); environment: a block of its own instead of
  // this process's.
  static Started Start(const std::string& program, const std::string& commandLine, WORD show,
                       const std::string& currentFolder = "", HANDLE output = nullptr,
                       const std::string* environment = nullptr) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = show;
    if (output != nullptr) {
      si.dwFlags |= STARTF_USESTDHANDLES;
      si.hStdOutput = output;
      si.hStdError = output;
    }
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    std::vector<char> block;
    if (environment != nullptr) block.assign(environment->begin(), environment->end());
    DWORD flags = show == SW_HIDE ? CREATE_NO_WINDOW : 0;
    PROCESS_INFORMATION pi{};
    Started started;
    if (CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, output != nullptr, flags,
                       environment != nullptr ? block.data() : nullptr,
                       currentFolder.empty() ? nullptr : currentFolder.c_str(), &si, &pi)) {
      started.id = pi.dwProcessId;
      started.process.Reset(pi.hProcess);
      started.thread.Reset(pi.hThread);
    }
    return started;
  }

  std::string raw_;
  std::string folder_;
  std::string name_;
};

}  // namespace

std::unique_ptr<Process> CreateProcess(int, char**) {
  return std::make_unique<Win32Process>();
}
