#pragma once
// A registry key that one operation opened or created, closed when the operation leaves,
// whichever way it leaves. Each operation holds its keys in objects of its own, so a call
// nested in another (KillKey asks HaveSubkey, which lists keys) never closes or overwrites
// a key of its caller.
#include <cstdint>
#include <string>

#include "platform/registry.h"

class RegistryKey {
 public:
  explicit RegistryKey(Registry& registry) : registry_(registry) {}
  // Takes over a key opened elsewhere (0: none).
  RegistryKey(Registry& registry, RegKey key) : registry_(registry), key_(key) {}
  ~RegistryKey() { Close(); }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  // The Registry calls of the same names (RegOpenKeyA, RegOpenKeyExA, RegCreateKeyA,
  // RegCreateKeyExA) with this object as the result: it holds the key only when the call
  // succeeded, and the call's Win32 code is the result. Call on an object that holds no key.
  long Open(RegKey root, const std::string& subKey);
  long OpenEx(RegKey root, const std::string& subKey, std::uint32_t mask);
  long OpenExOptions(RegKey root, const std::string& subKey, std::uint32_t options,
                     std::uint32_t mask);
  long Create(RegKey root, const std::string& subKey);
  long CreateEx(RegKey root, const std::string& subKey, const std::string& keyClass,
                std::uint32_t options, std::uint32_t mask, std::uint32_t* disposition);

  // The handle, 0 when no key is held; its number stays the operation's success mark.
  RegKey Handle() const { return key_; }

  // Closes now; the result of RegCloseKey, or 0 when there was nothing to close.
  long Close();

 private:
  long Hold(long rc, RegKey key);

  Registry& registry_;
  RegKey key_ = 0;
};
