#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/process.h"

// Thrown by FakeProcess::Exit so that a test sees the process end without ending. It is no
// std::exception: the run's error handlers never catch it.
struct ProcessEnded {
  int code = 0;
};

// Records what the run starts; Exit throws ProcessEnded.
class FakeProcess : public Process {
 public:
  struct Started {
    std::string program;
    std::string commandLine;
    bool hidden = false;
    std::uint32_t timeoutMs = 0;
  };

  std::string RawArguments() override { return rawArguments; }
  std::string ExecutableFolder() override { return folder; }
  std::string ExecutableName() override { return name; }
  std::uint32_t ProcessId() override { return 4242; }
  std::uint32_t StartDetached(const std::string& program, const std::string& line) override {
    started.push_back({program, line, false, 0});
    return startSucceeds ? 100 + static_cast<std::uint32_t>(started.size()) : 0;
  }
  std::uint32_t RunHidden(const std::string& program, const std::string& line,
                          std::uint32_t timeoutMs) override {
    started.push_back({program, line, true, timeoutMs});
    if (!startSucceeds) return 0;
    if (onRun) onRun(program, line);
    return 100 + static_cast<std::uint32_t>(started.size());
  }
  std::string CommandInterpreter() override { return interpreter; }
  std::string RedirectedCommandLine(const std::string& command,
                                    const std::string& outputFile) override {
    return interpreter + " /c " + command + " >\"" + outputFile + "\"";
  }
  void Sleep(std::uint32_t ms) override { sleptMs += ms; }
  bool InputIsTerminal() override { return inputIsTerminal; }
  void HideFromTaskList() override { hidden = true; }
  [[noreturn]] void Exit(int code) override { throw ProcessEnded{code}; }

  std::string rawArguments;
  std::string folder = "C:\\Agent\\bin";
  std::string name = "qEnv";
  std::string interpreter = "C:\\WINDOWS\\system32\\cmd.exe";
  bool startSucceeds = true;
  bool hidden = false;
  bool inputIsTerminal = false;
  std::uint64_t sleptMs = 0;
  std::vector<Started> started;
  // Called for every hidden run, to play the command's effect (write a scratch file ...).
  std::function<void(const std::string& program, const std::string& line)> onRun;
};
