// The real registry (Wine's when the tests run under Wine).
#include "platform/win32/win32_api.h"

#include <memory>

#include "../registry_backends.h"
#include "platform/registry.h"
#include "platform/service_factories.h"

namespace {
class RealRegistry : public RegistryUnderTest {
 public:
  Registry& registry() override { return *registry_; }

 private:
  std::unique_ptr<Registry> registry_ = CreateRegistry();
};

// Wine's ntdll exports its version; Windows' does not.
bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

const RegistryBackendRegistration kReal{
    {"Win32", [] { return std::unique_ptr<RegistryUnderTest>(new RealRegistry); }, !UnderWine()}};
}  // namespace
