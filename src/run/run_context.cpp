#include "run/run_context.h"

#include "platform/files.h"
#include "run/log_writer.h"

RunContext::RunContext(const Platform& p) : platform(p) {}

// Every buffered log line reaches the file on the way out, whatever path ended the run.
RunContext::~RunContext() {
  CloseLog(*this);
}
