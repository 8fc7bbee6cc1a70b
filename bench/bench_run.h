#pragma once
// A run context on this build's real services for the benchmarks: its own scratch folder,
// the registry store in it, the agent identity set as the start-up leaves it, and the log
// on a real file.
#include <memory>
#include <string>

#include "platform/platform.h"
#include "run/run_context.h"

class clsRegistryAccess;

class BenchRun {
 public:
  // Makes a fresh folder under the system's temporary folder; the store is a file in it.
  BenchRun();
  ~BenchRun();
  BenchRun(const BenchRun&) = delete;
  BenchRun& operator=(const BenchRun&) = delete;

  RunContext& ctx() { return *ctx_; }
  const std::string& folder() const { return folder_; }
  std::string StorePath() const { return folder_ + "/registry.db"; }

  // (Re)opens the log as the start-up does: a new file, appended to.
  void OpenLog();
  // Writes out and closes the log, then empties its file so that long runs do not fill
  // the disk.
  void ResetLog();

 private:
  std::string folder_;
  std::unique_ptr<PlatformServices> services_;
  std::unique_ptr<RunContext> ctx_;
  std::unique_ptr<clsRegistryAccess> registry_;  // the context's registry object
};
