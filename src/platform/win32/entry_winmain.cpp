// The Windows entry point: a GUI-subsystem program (no console window), which reads its
// own command line.
#include "platform/win32/win32_api.h"
// after windows.h
#include "main/qenv_entry.h"
#include "platform/platform.h"
#include "platform/win32/system_dll.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before anything can load a DLL: the DLLs that system DLLs load later (COM's servers,
  // shell32's helpers) must come from the system folder too, never the program's folder.
  system_dll::RestrictSearchToSystemFolder();
  auto services = CreatePlatformServices(0, nullptr);
  return qEnvEntry(services->View());
}
