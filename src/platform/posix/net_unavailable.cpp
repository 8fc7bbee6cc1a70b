// Placeholder until this build's host-name lookup lands: no name resolves.
#include <memory>

#include "platform/net.h"

namespace {
class UnavailableNet final : public Net {
 public:
  int Startup(std::uint16_t) override { return 0; }
  void Cleanup() override {}
  bool GetHostByName(const std::string&, HostRecord&) override { return false; }
};
}  // namespace

std::unique_ptr<Net> CreateNet() {
  return std::make_unique<UnavailableNet>();
}
