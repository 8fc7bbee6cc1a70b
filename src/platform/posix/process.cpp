// POSIX process facilities: argv joined with single spaces, /proc/self/exe for the
// executable, posix_spawn for the programs a run starts.
#include "platform/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/executable_path.h"

extern char** environ;

const char kExeSuffix[] = "";

namespace {

std::string SelfExe() {
  std::string buf(4096, '\0');
  ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return "";
  buf.resize(static_cast<std::size_t>(n));
  return buf;
}

// "sh -c text" style command lines: the first word is argv[0], "-c" the switch, the rest
// one argument; anything else is split at spaces.
std::vector<std::string> SplitCommandLine(const std::string& line) {
  std::vector<std::string> args;
  std::size_t pos = 0;
  while (pos < line.size()) {
    while (pos < line.size() && line[pos] == ' ') ++pos;
    if (pos >= line.size()) break;
    if (args.size() == 1 && args[0].size() >= 2 && line.compare(pos, 3, "-c ") == 0) {
      args.push_back("-c");
      args.push_back(line.substr(pos + 3));
      return args;
    }
    std::size_t end = line.find(' ', pos);
    if (end == std::string::npos) end = line.size();
    args.push_back(line.substr(pos, end - pos));
    pos = end;
  }
  return args;
}

class PosixProcess final : public Process {
 public:
  PosixProcess(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
      if (i > 1) raw_ += ' ';
      raw_ += argv[i];
    }
    ExecutablePath exe = SplitExecutablePath(SelfExe(), "/");
    folder_ = std::move(exe.folder);
    name_ = std::move(exe.name);
  }

  std::string RawArguments() override { return raw_; }
  std::string ExecutableFolder() override { return folder_; }
  std::string ExecutableName() override { return name_; }
  std::uint32_t ProcessId() override { return static_cast<std::uint32_t>(::getpid()); }

  std::uint32_t StartDetached(const std::string& program, const std::string& commandLine) override {
    pid_t pid = Spawn(program, commandLine);
    return pid > 0 ? static_cast<std::uint32_t>(pid) : 0;
  }

  std::uint32_t RunHidden(const std::string& program, const std::string& commandLine,
                          std::uint32_t timeoutMs) override {
    pid_t pid = Spawn(program, commandLine);
    if (pid <= 0) return 0;
    return Wait(pid, timeoutMs);
  }

  // Polls for the end; a command that runs over is left to finish on its own.
  std::uint32_t Wait(pid_t pid, std::uint32_t timeoutMs) {
    std::uint32_t waited = 0;
    for (;;) {
      int status = 0;
      pid_t r = ::waitpid(pid, &status, WNOHANG);
      if (r == pid || (r < 0 && errno != EINTR)) break;
      if (waited >= timeoutMs) break;
      Sleep(5);
      waited += 5;
    }
    return static_cast<std::uint32_t>(pid);
  }

  std::string CommandInterpreter() override { return "/bin/sh"; }

  // Single quotes keep every character of the path literal; a quote inside is closed,
  // escaped and reopened. Error output goes into the file too, so that a missing command
  // leaves its reason there.
  std::string RedirectedCommandLine(const std::string& command,
                                    const std::string& outputFile) override {
    std::string quoted = "'";
    for (char c : outputFile) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    quoted += "'";
    return "/bin/sh -c " + command + " >" + quoted + " 2>&1";
  }

  // The shell's own redirect would open the file by name and follow a link put there since
  // the caller made it; the file is opened here instead, refused unless it is still a plain
  // file with one name, and handed over as the shell's output and error output.
  std::uint32_t RunRedirected(const std::string& command, const std::string& outputFile,
                              std::uint32_t timeoutMs) override {
    const int fd = ::open(outputFile.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return 0;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1) {
      ::close(fd);
      return 0;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fd, STDERR_FILENO);
    // Nothing of the caller's: a program named like the command in the current folder or
    // in a folder of the caller's PATH must not run as this run's account.
    posix_spawn_file_actions_addchdir_np(&actions, "/");
    std::string shell = CommandInterpreter(), dashC = "-c", text = command;
    char* argv[] = {shell.data(), dashC.data(), text.data(), nullptr};
    std::string path = "PATH=/usr/sbin:/usr/bin:/sbin:/bin";
    char* envp[] = {path.data(), nullptr};
    pid_t pid = 0;
    const bool started =
        ::posix_spawn(&pid, shell.c_str(), &actions, nullptr, argv, envp) == 0 && pid > 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fd);
    return started ? Wait(pid, timeoutMs) : 0;
  }

  bool InputIsTerminal() override { return ::isatty(STDIN_FILENO) == 1; }

  void Sleep(std::uint32_t ms) override {
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
  }

  void HideFromTaskList() override {}

  [[noreturn]] void Exit(int code) override {
    std::fflush(nullptr);
    ::_exit(code);
  }

 private:
  static pid_t Spawn(const std::string& program, const std::string& commandLine) {
    std::vector<std::string> args = SplitCommandLine(commandLine);
    if (args.empty()) args.push_back(program);
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return 0;
    return pid;
  }

  std::string raw_;
  std::string folder_;
  std::string name_;
};

}  // namespace

std::unique_ptr<Process> CreateProcess(int argc, char** argv) {
  return std::make_unique<PosixProcess>(argc, argv);
}
