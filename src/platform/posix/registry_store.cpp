// POSIX only: the registry service is the Win32 emulation on the SQLite store.
#include "platform/posix/registry_store.h"

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/executable_path.h"
#include "platform/posix/sqlite_storage.h"
#include "platform/registry_emulation.h"
#include "platform/service_factories.h"

namespace {
class StoreRegistry final : public EmulatedRegistry {
 public:
  explicit StoreRegistry(const std::string& file) : EmulatedRegistry(storage_), storage_(file) {}

 private:
  SqliteStorage storage_;
};

std::string ExecutableFolder() {
  std::vector<char> buf(4096);
  const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return ".";
  return SplitExecutablePath(std::string(buf.data(), static_cast<std::size_t>(n)), "/").folder;
}
}  // namespace

namespace posix {
std::string RegistryStorePath() {
  const char* named = std::getenv("QENV_REGISTRY");
  if (named && *named) return named;
  return ExecutableFolder() + "/registry.db";
}

std::unique_ptr<Registry> OpenRegistryStore(const std::string& file) {
  return std::make_unique<StoreRegistry>(file);
}
}  // namespace posix

std::unique_ptr<Registry> CreateRegistry() {
  return posix::OpenRegistryStore(posix::RegistryStorePath());
}
