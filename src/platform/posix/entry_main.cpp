// The POSIX entry point: build the services and hand over to the run.
#include "main/qenv_entry.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  auto services = CreatePlatformServices(argc, argv);
  return qEnvEntry(services->View());
}
