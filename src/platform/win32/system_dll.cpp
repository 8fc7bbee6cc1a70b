// System DLLs by name, from the system folder only, each loaded once.
#include "platform/win32/system_dll.h"

#include <map>
#include <mutex>
#include <string>

namespace system_dll {

void RestrictSearchToSystemFolder() {
  using SetDirs = BOOL(WINAPI*)(DWORD);
  const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return;
  const auto set = reinterpret_cast<SetDirs>(
      reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (set != nullptr) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadWithSearchFlag(const char* name) {
  return ::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadByFullPath(const char* name) {
  char folder[MAX_PATH];
  const UINT n = ::GetSystemDirectoryA(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  const std::string path = std::string(folder, n) + "\\" + name;
  // The DLLs it imports are then looked for in its own folder first, not the program's.
  return ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE Load(const char* name) {
  static std::mutex lock;
  static std::map<std::string, HMODULE> loaded;
  HMODULE module = nullptr;
  DWORD error = 0;
  {
    const std::lock_guard<std::mutex> hold(lock);
    if (const auto it = loaded.find(name); it != loaded.end()) return it->second;
    module = LoadWithSearchFlag(name);
    // A system that does not know the flag refuses it as an invalid parameter.
    if (module == nullptr && ::GetLastError() == ERROR_INVALID_PARAMETER)
      module = LoadByFullPath(name);
    error = ::GetLastError();
    if (module != nullptr) loaded.emplace(name, module);
  }
  // Releasing the lock must not change the code the caller reads.
  ::SetLastError(error);
  return module;
}

FARPROC Function(const char* dll, const char* function) {
  const HMODULE module = Load(dll);
  return module == nullptr ? nullptr : ::GetProcAddress(module, function);
}

}  // namespace system_dll
