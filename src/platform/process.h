#pragma once
// The running process and the programs it starts.
#include <cstdint>
#include <string>

// The executable file suffix: ".exe" on Windows, "" on POSIX.
extern const char kExeSuffix[];

class Process {
 public:
  virtual ~Process() = default;
  // The command line after the program name and the spaces that follow it, exactly as the
  // caller wrote it: a tab there stays (POSIX: the arguments joined with single spaces).
  virtual std::string RawArguments() = 0;
  // The folder that holds the executable, without a trailing separator (but at a root).
  virtual std::string ExecutableFolder() = 0;
  // The executable's file name without its extension.
  virtual std::string ExecutableName() = 0;
  virtual std::uint32_t ProcessId() = 0;
  // Starts program (a full path, never looked up through the search path) with the given
  // command line, without waiting, in a minimized window that takes the focus.
  // Returns a nonzero task id, or 0 when it did not start.
  virtual std::uint32_t StartDetached(const std::string& program,
                                      const std::string& commandLine) = 0;
  // Runs program hidden with the command line and waits for it to end, at most timeoutMs.
  // Windows: the program's own folder is its current folder (a command interpreter looks
  // there first, never in the caller's current folder). Returns a nonzero task id when it
  // started, 0 when it did not.
  virtual std::uint32_t RunHidden(const std::string& program, const std::string& commandLine,
                                  std::uint32_t timeoutMs) = 0;
  // The command interpreter's full path and the switch that runs one command
  // ("C:\Windows\system32\cmd.exe" and "/c"; "/bin/sh" and "-c").
  virtual std::string CommandInterpreter() = 0;
  // What RunRedirected(command, outputFile) runs, as the log shows it: the interpreter's
  // command line, then ">" and outputFile quoted.
  virtual std::string RedirectedCommandLine(const std::string& command,
                                            const std::string& outputFile) = 0;
  // Runs command (a system program's name and its arguments) through CommandInterpreter()
  // hidden, with outputFile as its output and error output, and waits at most timeoutMs;
  // outputFile is an empty file the caller has made. It must still be a plain file with one
  // name, not a link, or the command is not started. It is opened here and handed over open,
  // never named to the interpreter. Nothing of the caller's environment or current folder
  // decides what runs. Windows: "cmd.exe /d /c" and the program by its full path in the
  // system folder (under WOW64, one found only in the native system folder from there), with an
  // environment of its own (SystemRoot, windir, ComSpec, PATHEXT=.COM;.EXE, PATH the system
  // folder); the file is held meanwhile so that nobody can rename it and put a link in its
  // place. POSIX: /bin/sh in "/" with nothing in its environment but
  // PATH=/usr/sbin:/usr/bin:/sbin:/bin. Returns a nonzero task id, or 0 when it did not start.
  virtual std::uint32_t RunRedirected(const std::string& command, const std::string& outputFile,
                                      std::uint32_t timeoutMs) {
    return RunHidden(CommandInterpreter(), RedirectedCommandLine(command, outputFile), timeoutMs);
  }
  virtual void Sleep(std::uint32_t ms) = 0;
  // Whether standard input is an interactive console that a question can be asked on.
  virtual bool InputIsTerminal() { return false; }
  virtual void HideFromTaskList() = 0;
  // Ends the process at once (buffered output must have been written before).
  [[noreturn]] virtual void Exit(int code) = 0;
};
