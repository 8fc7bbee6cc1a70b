// Placeholder until this build's window service lands.
#include <memory>

#include "platform/window.h"

namespace {
class UnavailableWindow final : public Window {};
}  // namespace

std::unique_ptr<Window> CreateWindow() {
  return std::make_unique<UnavailableWindow>();
}
