#pragma once
// The platform services a run uses, built once by the entry point. Tests build the same
// bundle from fakes.
#include <memory>

class Registry;
class System;
class Environment;
class Clock;
class Files;
class Wmi;
class Net;
class Process;
class Window;

struct Platform {
  Registry& registry;
  System& system;
  Environment& environment;
  Clock& clock;
  Files& files;
  Wmi& wmi;
  Net& net;
  Process& process;
  Window& window;
};

// Owns the real services of this build.
class PlatformServices {
 public:
  virtual ~PlatformServices() = default;
  virtual Platform View() = 0;
};

// argc/argv as main() received them (the Windows build reads its own command line).
std::unique_ptr<PlatformServices> CreatePlatformServices(int argc, char** argv);

// Called first thing in every program's main(), before anything can load a library: on
// Windows the DLLs that system DLLs load later (COM's servers, shell32's helpers) then come
// from the system folder only, never the program's folder. POSIX has nothing to restrict.
void RestrictLibrarySearch();
