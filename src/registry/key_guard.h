#pragma once
// Closes a key that an operation opened or created when the operation leaves, whichever
// way it leaves. Nothing happens for handle 0 (the open failed) or after Close().
#include "platform/registry.h"

class KeyGuard {
 public:
  KeyGuard(Registry& registry, RegKey key) : registry_(registry), key_(key) {}
  ~KeyGuard() { Close(); }
  KeyGuard(const KeyGuard&) = delete;
  KeyGuard& operator=(const KeyGuard&) = delete;

  // Closes now; the result of RegCloseKey, or 0 when there was nothing to close.
  long Close() {
    if (key_ == 0) return 0;
    const RegKey key = key_;
    key_ = 0;
    return registry_.CloseKey(key);
  }

 private:
  Registry& registry_;
  RegKey key_;
};
