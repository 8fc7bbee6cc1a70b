#include "bench_run.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "platform/files.h"
#include "registry/registry_access.h"

namespace {
std::string LogPath(const std::string& folder) {
  return folder + "/bench_log.txt";
}
}  // namespace

BenchRun::BenchRun() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qenv-bench-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("no scratch folder");
  folder_ = pattern;
  ::setenv("QENV_REGISTRY", StorePath().c_str(), 1);
  static char name[] = "qEnv";
  static char* argv[] = {name, nullptr};
  services_ = CreatePlatformServices(1, argv);
  ctx_ = std::make_unique<RunContext>(services_->View());
  registry_ = std::make_unique<clsRegistryAccess>(*ctx_);
  ctx_->registryAccess = registry_.get();
  ctx_->AgentInstallPath = folder_ + "/";
  ctx_->AgentRegId = "1234";
  ctx_->AgentMemberId = "42";
  ctx_->AgentSiteId = "7";
  ctx_->AgentType = "Server";
}

BenchRun::~BenchRun() {
  registry_.reset();
  ctx_.reset();
  services_.reset();
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void BenchRun::OpenLog() {
  ctx_->LogStream = ctx_->platform.files.OpenTextFile(LogPath(folder_), IOMode::ForAppending, true);
}

void BenchRun::ResetLog() {
  if (ctx_->LogStream) ctx_->LogStream->Close();
  ctx_->LogStream.reset();
  std::filesystem::resize_file(LogPath(folder_), 0);
  OpenLog();
}
