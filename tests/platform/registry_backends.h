#pragma once
// The registries the contract suite runs against. Each build adds its own backends
// (a file under tests/platform/<posix|win32>/) to the in-memory one every build has.
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/registry.h"

// One registry under test, alive for one test.
class RegistryUnderTest {
 public:
  virtual ~RegistryUnderTest() = default;
  virtual Registry& registry() = 0;
};

struct RegistryBackend {
  std::string name;
  std::function<std::unique_ptr<RegistryUnderTest>()> open;
  // Answers 87 to a call with both view bits, as Windows 7 and later do (Wine does not).
  bool refusesBothViews = true;
};

// GoogleTest names a backend by its name in test listings.
inline void PrintTo(const RegistryBackend& backend, std::ostream* os) {
  *os << backend.name;
}

std::vector<RegistryBackend>& RegistryBackends();

// Adds a backend when the test program starts.
struct RegistryBackendRegistration {
  explicit RegistryBackendRegistration(RegistryBackend backend) {
    RegistryBackends().push_back(std::move(backend));
  }
};
