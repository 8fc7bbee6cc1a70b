// Windows side of the tests' set-up helpers.
#include "support/test_support.h"

#include "platform/win32/win32_api.h"

namespace test_support {

void SetReadOnly(const std::string& path, bool readOnly) {
  const DWORD a = GetFileAttributesA(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesA(path.c_str(),
                     readOnly ? (a | FILE_ATTRIBUTE_READONLY) : (a & ~FILE_ATTRIBUTE_READONLY));
}

namespace {
// Wine's own export that names the Unix file behind a Windows path; absent on Windows.
std::string UnixPath(const std::string& path) {
  using ToUnix = char* (*)(const wchar_t*);
  const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!toUnix) return "";
  std::wstring wide(path.size() + 1, L'\0');
  const int n =
      MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  if (n <= 0) return "";
  char* unix = toUnix(wide.c_str());
  if (!unix) return "";
  std::string out(unix);
  HeapFree(GetProcessHeap(), 0, unix);
  return out;
}

// Starts a Unix program under Wine; there is no handle to wait on, so the caller polls.
bool StartUnix(const std::string& program, std::string line) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &si, &pi))
    return false;
  if (pi.hThread) CloseHandle(pi.hThread);
  if (pi.hProcess) CloseHandle(pi.hProcess);
  return true;
}

// Waits up to ten seconds for path to be shown (or, with present false, to be gone).
bool WaitFor(const std::string& path, bool present) {
  for (int i = 0; i < 1000; ++i) {
    if ((GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) == present) return true;
    Sleep(10);
  }
  return false;
}

}  // namespace

bool MakeLink(const std::string& target, const std::string& link, bool folder) {
  const std::string unixTarget = UnixPath(target), unixLink = UnixPath(link);
  if (unixTarget.empty() || unixLink.empty()) {
    const DWORD flags = (folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) | 0x2;  // unprivileged
    return CreateSymbolicLinkA(link.c_str(), target.c_str(), flags) != 0;
  }
  // Wine runs a Unix program that it is given by its path on drive Z:.
  return StartUnix("Z:\\bin\\ln", "ln -s \"" + unixTarget + "\" \"" + unixLink + "\"") &&
         WaitFor(link, true);
}

void RemoveLinks(const std::vector<std::string>& links) {
  constexpr std::size_t kPerCommand = 50;  // well inside the longest command line
  for (std::size_t from = 0; from < links.size(); from += kPerCommand) {
    std::string line = "rm -f";
    std::vector<std::string> batch;
    for (std::size_t i = from; i < links.size() && i < from + kPerCommand; ++i) {
      const std::string unixLink = UnixPath(links[i]);
      if (unixLink.empty()) {
        if (!DeleteFileA(links[i].c_str())) RemoveDirectoryA(links[i].c_str());
        continue;
      }
      line += " \"" + unixLink + "\"";
      batch.push_back(links[i]);
    }
    if (batch.empty() || !StartUnix("Z:\\bin\\rm", line)) continue;
    for (const std::string& link : batch) WaitFor(link, false);
  }
}

bool ShowsAsLink(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::optional<std::string> ProcessVariable(const std::string& name) {
  SetLastError(0);
  const DWORD size = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
  if (size == 0) {
    if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return std::string();
  }
  std::string value(size, '\0');
  const DWORD n = GetEnvironmentVariableA(name.c_str(), value.data(), size);
  value.resize(n < size ? n : 0);
  return value;
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
