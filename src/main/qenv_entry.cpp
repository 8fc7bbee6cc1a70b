#include "main/qenv_entry.h"

#include "main/run_context.h"
#include "main/run_main.h"

int qEnvEntry(const Platform& platform) {
  RunContext ctx(platform);
  Main(ctx);
  // Only Main's error handler comes back here; the context's end closes the log.
  return 0;
}
