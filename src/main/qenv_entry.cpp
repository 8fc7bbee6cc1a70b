#include "main/qenv_entry.h"

#include "main/run_context.h"

int qEnvEntry(const Platform& platform) {
  RunContext ctx(platform);
  // The run sequence arrives with the run driver.
  return 0;
}
