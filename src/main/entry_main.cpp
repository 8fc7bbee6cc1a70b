// The program's entry point, one for both builds. The Windows build is a GUI-subsystem
// program (no console window): MinGW's start-up calls main() there too, and the Process
// service reads the raw command line itself.
#include "main/qenv_entry.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  RestrictLibrarySearch();
  auto services = CreatePlatformServices(argc, argv);
  return qEnvEntry(services->View());
}
