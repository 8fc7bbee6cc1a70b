#include "registry/registry_access.h"

clsRegistryAccess::clsRegistryAccess(RunContext& ctx) : ctx_(ctx) {
  CreateKeyIfDoesntExists(true);
}
