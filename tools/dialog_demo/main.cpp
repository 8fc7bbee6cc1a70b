// Shows the countdown dialog on this build's window service and prints its answer.
//   dialog_demo [--seconds N] [--ok-only] [--log FILE]
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/files.h"
#include "platform/platform.h"
#include "run/failure_description.h"
#include "run/run_context.h"
#include "ui/dialog.h"

namespace {
int Usage() {
  std::fprintf(stderr,
               "usage: dialog_demo [--seconds N] [--ok-only] [--log FILE]\n"
               "  --seconds N  the countdown, in seconds (default 30)\n"
               "  --ok-only    one OK button instead of Yes and No\n"
               "  --log FILE   write the dialog's log lines to FILE\n");
  return 2;
}

bool ParseSeconds(const char* text, double& seconds) {
  char* end = nullptr;
  seconds = std::strtod(text, &end);
  return end != text && *end == '\0' && std::isfinite(seconds);
}
}  // namespace

int main(int argc, char** argv) {
  double seconds = 30;
  bool okOnly = false;
  std::string logPath;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
      if (!ParseSeconds(argv[++i], seconds)) return Usage();
    } else if (std::strcmp(argv[i], "--ok-only") == 0) {
      okOnly = true;
    } else if (std::strcmp(argv[i], "--log") == 0 && i + 1 < argc) {
      logPath = argv[++i];
    } else {
      return Usage();
    }
  }

  RestrictLibrarySearch();
  auto services = CreatePlatformServices(argc, argv);
  RunContext ctx(services->View());
  if (!logPath.empty()) {
    try {
      ctx.LogStream = ctx.platform.files.CreateTextFile(logPath, true);
    } catch (...) {
      std::fprintf(stderr, "dialog_demo: cannot create %s: %s\n", logPath.c_str(),
                   DescriptionOfCurrentFailure().c_str());
      return 1;
    }
  }

  Dialog dialog(ctx);
  std::string message = "Do you want to shutdown?";
  const bool answer = dialog.ShowForm(message, seconds, okOnly);
  std::printf("%s\n", answer ? "True" : "False");
  return 0;
}
