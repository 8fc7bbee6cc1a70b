#include "registry_backends.h"

#include "fakes/memory_registry.h"

std::vector<RegistryBackend>& RegistryBackends() {
  static std::vector<RegistryBackend> backends;
  return backends;
}

namespace {
class InMemory : public RegistryUnderTest {
 public:
  InMemory() { registry_.wineResults = true; }
  Registry& registry() override { return registry_; }

 private:
  MemoryRegistry registry_;
};

const RegistryBackendRegistration kMemory{
    {"Memory", [] { return std::unique_ptr<RegistryUnderTest>(new InMemory); }}};
}  // namespace
