#include "run/run_context.h"

#include "platform/files.h"

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
