#pragma once
// POSIX only: the registry service on the SQLite store.
#include <memory>
#include <string>

#include "platform/registry.h"

namespace posix {
// QENV_REGISTRY when set and not empty, else "registry.db" beside the executable.
std::string RegistryStorePath();
// The registry on the store in file (":memory:" for one that lives in memory only).
std::unique_ptr<Registry> OpenRegistryStore(const std::string& file);
}  // namespace posix
