// The real registry (Wine's when the tests run under Wine).
#include <memory>

#include "platform/registry.h"
#include "platform/service_factories.h"
#include "../registry_backends.h"

namespace {
class RealRegistry : public RegistryUnderTest {
 public:
  Registry& registry() override { return *registry_; }

 private:
  std::unique_ptr<Registry> registry_ = CreateRegistry();
};

const RegistryBackendRegistration kReal{
    {"Win32", [] { return std::unique_ptr<RegistryUnderTest>(new RealRegistry); }}};
}  // namespace
