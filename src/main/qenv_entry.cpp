#include "main/qenv_entry.h"

#include "main/run_main.h"
#include "registry/registry_access.h"
#include "run/run_context.h"

int qEnvEntry(const Platform& platform) {
  RunContext ctx(platform);
  clsRegistryAccess registry(ctx);
  ctx.registryAccess = &registry;
  Main(ctx);
  // Only Main's error handler comes back here; the context's end closes the log.
  return 0;
}
