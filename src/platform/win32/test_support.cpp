// Windows side of the tests' set-up helpers.
#include "platform/win32/win32_api.h"
// after windows.h
#include "platform/test_support.h"

namespace test_support {

void SetReadOnly(const std::string& path, bool readOnly) {
  const DWORD a = GetFileAttributesA(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesA(path.c_str(),
                     readOnly ? (a | FILE_ATTRIBUTE_READONLY) : (a & ~FILE_ATTRIBUTE_READONLY));
}

void SetProcessVariable(const std::string& name, const std::string& value) {
  SetEnvironmentVariableA(name.c_str(), value.c_str());
}

void UnsetProcessVariable(const std::string& name) {
  SetEnvironmentVariableA(name.c_str(), nullptr);
}

std::vector<long> RunTogether(const std::string& program, const std::vector<std::string>& texts,
                              unsigned timeoutMs) {
  std::vector<long> codes(texts.size(), kDidNotStart);
  std::vector<HANDLE> handles(texts.size(), nullptr);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    std::string line = "\"" + program + "\" " + texts[i];
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi))
      continue;
    CloseHandle(pi.hThread);
    handles[i] = pi.hProcess;
    codes[i] = kStillRunning;
  }
  const DWORD start = GetTickCount();
  for (std::size_t i = 0; i < handles.size(); ++i) {
    if (!handles[i]) continue;
    const DWORD elapsed = GetTickCount() - start;
    const DWORD left = elapsed >= timeoutMs ? 0 : timeoutMs - elapsed;
    DWORD code = 0;
    if (WaitForSingleObject(handles[i], left) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(handles[i], &code))
      codes[i] = static_cast<long>(code);
    else
      TerminateProcess(handles[i], 1);
    CloseHandle(handles[i]);
  }
  return codes;
}

}  // namespace test_support
