#include "main/run_main.h"

#include <cstdlib>
#include <memory>

#include "expand/token_splitter.h"
#include "main/startup.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/runtime_error.h"
#include "run/failure_description.h"
#include "run/log_writer.h"
#include "run/run_context.h"
#include "run/windows_calls.h"
#include "text/text_util.h"

namespace {

// Runs started together from one folder replace the same result file: while one run
// deletes or replaces it, another's delete or replace is refused as in use (Windows and
// Wine alike). Such a refusal is retried for up to half a second; a file that stays
// refused (read-only) still fails.
template <typename Step>
void RetryWhileInUse(Process& process, Step step) {
  constexpr int kAttempts = 50;
  for (int attempt = 1;; ++attempt) {
    try {
      step();
      return;
    } catch (...) {
      if (CurrentFailure().number != fso_error::kPermissionDenied || attempt == kAttempts) throw;
    }
    process.Sleep(10);
  }
}

// Removes an earlier result. A file that another run removed after the existence test
// is no failure: the delete wanted it gone, even when a third run has put its own result
// there since (this run's move replaces that one). A file that stays (read-only, in use) is.
void DeleteEarlierResult(Files& files, const std::string& path) {
  if (!files.FileExists(path)) return;
  try {
    files.DeleteFile(path);
  } catch (...) {
    const long number = CurrentFailure().number;
    if (number == fso_error::kFileNotFound || number == fso_error::kPathNotFound) return;
    if (files.FileExists(path)) throw;
  }
}

// The line is written to a file of this run's own beside the result and moved over it in
// one step: a reader sees one whole run's result or none, never two runs' bytes mixed. The
// file is made new under a name nobody can guess: a link planted at a predictable name
// would have this run truncate whatever it points to.
class PendingResult {
 public:
  PendingResult(Files& files, std::string target) : files_(files), target_(std::move(target)) {
    stream_ = files_.CreateUniqueTextFile(target_ + ".", ".tmp", temporary_);
    created_ = true;
  }
  ~PendingResult() {
    // Whatever ended the run before Commit: the temporary file does not outlive it.
    if (!created_) return;
    stream_.reset();
    try {
      files_.DeleteFile(temporary_);
    } catch (...) {
    }
  }
  PendingResult(const PendingResult&) = delete;
  PendingResult& operator=(const PendingResult&) = delete;

  void WriteLine(const std::string& line) { stream_->WriteLine(line); }

  void Commit(Process& process) {
    stream_->Close();
    stream_.reset();
    RetryWhileInUse(process, [&] { files_.MoveReplace(temporary_, target_); });
    created_ = false;
  }

 private:
  Files& files_;
  std::string target_;
  std::string temporary_;
  std::unique_ptr<TextStream> stream_;
  bool created_ = false;
};

// Every buffered log line reaches the file before the process ends.
[[noreturn]] void EndProcess(RunContext& ctx) {
  CloseLog(ctx);
  ctx.platform.process.Exit(0);
  std::abort();  // Exit does not return; the compiler cannot see that through the interface
}

}  // namespace

std::string ResultFilePath(RunContext& ctx) {
  std::string folder = ctx.platform.process.ExecutableFolder();
  std::string shortFolder = GetShortpath(ctx, folder);
  if (shortFolder.empty() || shortFolder.find('\0') != std::string::npos) shortFolder = folder;
  return shortFolder + kPathSep + kResultFileName;
}

void Main(RunContext& ctx) {
  try {
    subInitialize(ctx);

    Files& files = ctx.platform.files;
    const std::string resultPath = ResultFilePath(ctx);
    RetryWhileInUse(ctx.platform.process, [&] { DeleteEarlierResult(files, resultPath); });
    PendingResult result(files, resultPath);

    std::string command = text::Trim(ctx.platform.process.RawArguments());
    subWriteLog(ctx, "MSG : Command line para is : " + command);
    if (!command.empty() && command[0] == '%') {
      subWriteLog(ctx, "MSG : Expanding Environment Variable " + command);
      std::string errorText;
      fncSplitEnvVariables(ctx, command, errorText);
      if (!errorText.empty()) {
        subWriteLog(ctx, "ERR : Can not Expanding Environment Variable " + command +
                             " Err Details : " + errorText);
        result.WriteLine("ERR : " + errorText);
      } else {
        result.WriteLine(command);
      }
    }
    result.Commit(ctx.platform.process);
  } catch (...) {
    subWriteLog(ctx, "ERR : Main, " + DescriptionOfCurrentFailure());
    return;
  }
  EndProcess(ctx);
}
