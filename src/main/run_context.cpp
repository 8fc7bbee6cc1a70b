#include "main/run_context.h"

#include "platform/files.h"
#include "registry/registry_access.h"

RunContext::RunContext(const Platform& p) : platform(p) {}

RunContext::~RunContext() {
  // Every buffered log line reaches the file on the way out, whatever path ended the run.
  if (LogStream) {
    try {
      LogStream->Close();
    } catch (...) {
    }
  }
}

clsRegistryAccess& RunContext::RegistryAccess() {
  if (!registryAccess_) registryAccess_ = std::make_unique<clsRegistryAccess>(*this);
  return *registryAccess_;
}
