// The Windows entry point: a GUI-subsystem program (no console window), which reads its
// own command line.
#include "platform/win32/win32_api.h"
// after windows.h
#include "main/qenv_entry.h"
#include "platform/platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  auto services = CreatePlatformServices(0, nullptr);
  return qEnvEntry(services->View());
}
