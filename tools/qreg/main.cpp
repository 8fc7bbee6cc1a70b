// qreg's entry point: the platform services, a run context without a log, and the tool.
#include <iostream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "qreg.h"
#include "registry/registry_access.h"
#include "run/failure_description.h"
#include "run/run_context.h"
#include "view_registry.h"

namespace {
int RunTool(int argc, char** argv) {
  RestrictLibrarySearch();
  std::unique_ptr<PlatformServices> services = CreatePlatformServices(argc, argv);
  const Platform real = services->View();
  // Every registry call, the class's included, goes through the view the command asks for.
  qreg::ViewRegistry view(real.registry);
  RunContext ctx(Platform{view, real.system, real.environment, real.clock, real.files, real.wmi,
                          real.net, real.process, real.window});
  clsRegistryAccess registry(ctx);
  ctx.registryAccess = &registry;
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  qreg::Tool tool{ctx, registry, std::cout, std::cerr, std::cin, view};
  const int status = qreg::Run(tool, args);
  std::cout.flush();
  return status;
}
}  // namespace

int main(int argc, char** argv) {
  // Whatever a verb did not trap (out of memory, a failing platform call) ends the run as any
  // other failure does: one line and status 1, never an abort.
  try {
    return RunTool(argc, argv);
  } catch (...) {
    std::string what = "an unexpected failure";
    try {
      what = DescriptionOfCurrentFailure();
    } catch (...) {
      // neither a run-time error nor a standard exception: the line says no more
    }
    std::cout.flush();
    std::cerr << "ERROR: " << what << "\n";
    return 1;
  }
}
