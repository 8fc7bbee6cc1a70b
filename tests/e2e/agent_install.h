#pragma once
// One throw-away agent installation for a run of the built qEnv: a temporary folder with
// bin/ (a copy of the executable, so its result file lands there) and agent/ (the
// installation folder), the identity in the registry (natively: a store file in the
// folder, named to the child through QENV_REGISTRY; under Wine: HKLM\SOFTWARE\DORAZA),
// and a run with an exact command line.
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/read_bytes.h"

class Process;

class AgentInstall {
 public:
  // binFolder: the name of the folder that holds the executable.
  explicit AgentInstall(const std::string& binFolder = "bin");
  ~AgentInstall();
  AgentInstall(const AgentInstall&) = delete;
  AgentInstall& operator=(const AgentInstall&) = delete;

  // Sets the agent's values; a value of std::nullopt removes it. Every value not named
  // keeps what an earlier call gave it; the constructor seeds a valid identity.
  // viewBits: 0 for the default view, or one of reg::kView64Bit / reg::kView32Bit.
  void Seed(const std::map<std::string, std::optional<std::string>>& values,
            std::uint32_t viewBits = 0);

  // Runs bin/qEnv with the command line "<exe>" followed by args as given (nothing is
  // added between the program and args: pass the leading space). Waits for it to end.
  void Run(const std::string& args);

  // The result file's bytes, or nullopt when there is none.
  std::optional<std::string> Result() const;
  void WriteResult(const std::string& bytes, bool readOnly);

  std::filesystem::path LogFolder() const;
  std::vector<std::filesystem::path> LogFiles() const;
  // A log file's messages; every line must be a stamp, a tab and the message, ended by
  // CR LF (a line that is not fails the test).
  std::vector<std::string> LogMessages(const std::filesystem::path& file) const;
  // Every log file's messages, file after file.
  std::vector<std::string> AllLogMessages() const;

  std::string InstallDir() const { return install_.string(); }
  std::filesystem::path Root() const { return root_; }
  std::filesystem::path BinDir() const { return bin_; }
  std::filesystem::path ExePath() const { return exe_; }
  // Natively the store file that holds the identity (unused under Wine).
  std::filesystem::path StorePath() const { return root_ / "registry.db"; }
  std::string ResultPath() const { return (bin_ / "EnvironmentVar.txt").string(); }
  // The installation folder as the run logs it (with its closing separator).
  std::string LoggedInstallDir() const;

  // "C:\Program Files" stand-in that %PROGRAMFILES% expands to in the run.
  static constexpr const char* kProgramFiles = "C:\\e2e\\Program Files";

 private:
  std::filesystem::path root_;
  std::filesystem::path bin_;
  std::filesystem::path install_;
  std::filesystem::path exe_;
  std::unique_ptr<Process> process_;
};

// The build folder as this test executable can open it (under Wine: on drive Z:).
std::filesystem::path BuildFolder();
