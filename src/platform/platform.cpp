// The bundle of this build's real services.
#include "platform/platform.h"

#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/net.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/service_factories.h"
#include "platform/system.h"
#include "platform/window.h"
#include "platform/wmi.h"
#include "platform/wmi_deadline.h"

namespace {
class RealServices final : public PlatformServices {
 public:
  RealServices(int argc, char** argv)
      : registry_(CreateRegistry()),
        system_(CreateSystem()),
        environment_(CreateEnvironment()),
        clock_(CreateClock()),
        files_(CreateFiles()),
        wmi_(WithDeadline(CreateWmi(), kWmiDeadline)),
        net_(CreateNet()),
        process_(CreateProcess(argc, argv)),
        window_(CreateWindow()) {}
  Platform View() override {
    return Platform{*registry_, *system_, *environment_, *clock_, *files_,
                    *wmi_,      *net_,    *process_,     *window_};
  }

 private:
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<System> system_;
  std::unique_ptr<Environment> environment_;
  std::unique_ptr<Clock> clock_;
  std::unique_ptr<Files> files_;
  std::unique_ptr<Wmi> wmi_;
  std::unique_ptr<Net> net_;
  std::unique_ptr<Process> process_;
  std::unique_ptr<Window> window_;
};
}  // namespace

std::unique_ptr<PlatformServices> CreatePlatformServices(int argc, char** argv) {
  return std::make_unique<RealServices>(argc, argv);
}
