#pragma once
// A run context that owns its registry object and sets it, as qEnvEntry does: the test
// fixtures' composition root.
#include "platform/platform.h"
#include "registry/registry_access.h"
#include "run/run_context.h"

class TestContext : public RunContext {
 public:
  explicit TestContext(const Platform& platform) : RunContext(platform), registry_(*this) {
    registryAccess = &registry_;
  }

 private:
  clsRegistryAccess registry_;
};
