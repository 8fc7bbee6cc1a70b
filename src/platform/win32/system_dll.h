#pragma once
// Win32 only: the system DLLs beyond kernel32, advapi32 and the C runtime, loaded when a
// call first needs them and only ever from the system folder. A DLL of the same name
// beside the program or in the current folder is never loaded, and a run pays only for
// the DLLs its variables use.
#include "platform/win32/win32_api.h"

namespace system_dll {

// Makes the system folder the only place this process, and every DLL it loads, searches
// for DLLs named without a path. Where the system lacks SetDefaultDllDirectories (Windows 7
// and Vista without KB2533623) nothing changes; Load below never searches elsewhere anyway.
void RestrictSearchToSystemFolder();

// The system DLL `name` ("version.dll"), loaded on the first call and kept for the life of
// the process; nullptr, with GetLastError set (126 when it is missing), when it cannot be.
HMODULE Load(const char* name);

// The two ways Load finds a DLL, exposed for the tests: the search flag, and the full path
// under GetSystemDirectoryA where the system does not know the flag.
HMODULE LoadWithSearchFlag(const char* name);
HMODULE LoadByFullPath(const char* name);

// The function `function` of the system DLL `dll`, or nullptr with GetLastError set (127
// for a function the DLL does not have).
FARPROC Function(const char* dll, const char* function);

// The same, typed: Get<decltype(&::GetFileVersionInfoSizeA)>("version.dll", "...").
template <typename F>
F Get(const char* dll, const char* function) {
  // Through void (*)(): the one function type every other converts from without a warning.
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(Function(dll, function)));
}

}  // namespace system_dll
