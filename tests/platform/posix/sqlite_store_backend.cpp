// The SQLite store, in memory and in a file of its own for each test.
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "../registry_backends.h"
#include "platform/posix/registry_store.h"

namespace {
class StoreInMemory : public RegistryUnderTest {
 public:
  Registry& registry() override { return *registry_; }

 private:
  std::unique_ptr<Registry> registry_ = posix::OpenRegistryStore(":memory:");
};

class StoreOnDisk : public RegistryUnderTest {
 public:
  StoreOnDisk()
      : file_(std::filesystem::temp_directory_path() /
              ("qenv-contract-" + std::to_string(std::random_device{}()) + ".db")),
        registry_(posix::OpenRegistryStore(file_.string())) {}
  ~StoreOnDisk() override {
    registry_.reset();
    for (const char* suffix : {"", "-wal", "-shm"})
      std::filesystem::remove(file_.string() + suffix);
  }
  Registry& registry() override { return *registry_; }

 private:
  std::filesystem::path file_;
  std::unique_ptr<Registry> registry_;
};

const RegistryBackendRegistration kInMemory{
    {"SqliteMemory", [] { return std::unique_ptr<RegistryUnderTest>(new StoreInMemory); }}};
const RegistryBackendRegistration kOnDisk{
    {"SqliteFile", [] { return std::unique_ptr<RegistryUnderTest>(new StoreOnDisk); }}};
}  // namespace
