// qreg's entry point: the platform services, a run context without a log, and the tool.
#include <iostream>
#include <string>
#include <vector>

#include "main/run_context.h"
#include "platform/platform.h"
#include "qreg.h"
#include "registry/registry_access.h"

int main(int argc, char** argv) {
  std::unique_ptr<PlatformServices> services = CreatePlatformServices(argc, argv);
  RunContext ctx(services->View());
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  qreg::Tool tool{ctx, ctx.RegistryAccess(), std::cout, std::cerr, std::cin};
  const int status = qreg::Run(tool, args);
  std::cout.flush();
  return status;
}
