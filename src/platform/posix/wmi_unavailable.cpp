// Placeholder until this build's WMI service lands: every query fails.
#include <memory>

#include "platform/runtime_error.h"
#include "platform/wmi.h"

namespace {
class UnavailableWmi final : public Wmi {
 public:
  std::vector<WmiInstance> InstancesOf(const std::string&) override {
    throw RuntimeError(429, "ActiveX component can't create object");
  }
};
}  // namespace

std::unique_ptr<Wmi> CreateWmi() {
  return std::make_unique<UnavailableWmi>();
}
