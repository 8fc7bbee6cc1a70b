#pragma once
// Each build's constructors of its real services; the entry point's PlatformServices
// calls them. A factory never fails: a service that cannot reach its backend answers
// every call as the failing Windows call would.
#include <memory>

#include "platform/platform.h"  // the services' forward declarations

std::unique_ptr<Registry> CreateRegistry();
std::unique_ptr<System> CreateSystem();
std::unique_ptr<Environment> CreateEnvironment();
std::unique_ptr<Clock> CreateClock();
std::unique_ptr<Files> CreateFiles();
std::unique_ptr<Wmi> CreateWmi();
std::unique_ptr<Net> CreateNet();
std::unique_ptr<Process> CreateProcess(int argc, char** argv);
std::unique_ptr<Window> CreateWindow();
