// The machine and user facts through kernel32, advapi32, userenv and shell32, ANSI forms.
// Each call records GetLastError right after it, as a caller of a DLL function sees it, so
// that nothing the program does between a call and its error check can change the code.
// userenv and shell32 are loaded from the system folder when first called (system_dll.h);
// a DLL or function that is missing fails the call as the system would.
#include "platform/system.h"

#include "platform/win32/win32_api.h"
// after windows.h
#include <shlobj.h>
#include <userenv.h>

#undef GetUserProfileDirectory
#undef FormatMessage
#undef ExpandEnvironmentStrings

#include <cstring>
#include <map>
#include <memory>

#include "platform/service_factories.h"
#include "platform/win32/owned_handle.h"
#include "platform/win32/system_dll.h"

namespace {

class Win32System final : public System {
 public:
  bool GetComputerName(char* buffer, std::uint32_t& size) override {
    DWORD n = size;
    const BOOL ok = ::GetComputerNameA(buffer, &n);
    Record();
    size = n;
    return ok != FALSE;
  }

  bool GetUserName(char* buffer, std::uint32_t& size) override {
    DWORD n = size;
    const BOOL ok = ::GetUserNameA(buffer, &n);
    Record();
    size = n;
    return ok != FALSE;
  }

  bool GetVersionEx(OsVersionInfo& record) override {
    OSVERSIONINFOEXA info{};
    info.dwOSVersionInfoSize = record.osVersionInfoSize;
    const BOOL ok = ::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info));
    Record();
    if (!ok) return false;
    record.majorVersion = info.dwMajorVersion;
    record.minorVersion = info.dwMinorVersion;
    record.buildNumber = info.dwBuildNumber;
    record.platformId = info.dwPlatformId;
    static_assert(sizeof record.csdVersion == sizeof info.szCSDVersion);
    std::memcpy(record.csdVersion, info.szCSDVersion, sizeof record.csdVersion);
    if (record.osVersionInfoSize >= sizeof(OSVERSIONINFOEXA)) {
      record.servicePackMajor = info.wServicePackMajor;
      record.servicePackMinor = info.wServicePackMinor;
      record.suiteMask = info.wSuiteMask;
      record.productType = info.wProductType;
      record.reserved = info.wReserved;
    }
    return true;
  }

  std::uint32_t GetVersion() override { return ::GetVersion(); }

  bool OpenProcessToken(std::uint32_t access, std::uintptr_t& token) override {
    HANDLE h = nullptr;
    const BOOL ok = ::OpenProcessToken(::GetCurrentProcess(), access, &h);
    Record();
    OwnedHandle owned(ok ? h : nullptr);
    token = reinterpret_cast<std::uintptr_t>(owned.Get());
    if (owned) tokens_[token] = std::move(owned);
    return ok != FALSE;
  }

  bool GetUserProfileDirectory(std::uintptr_t token, char* buffer, std::uint32_t& size) override {
    const auto getProfile = system_dll::Get<decltype(&::GetUserProfileDirectoryA)>(
        "userenv.dll", "GetUserProfileDirectoryA");
    if (getProfile == nullptr) {
      Record();
      return false;
    }
    DWORD n = size;
    const BOOL ok = getProfile(reinterpret_cast<HANDLE>(token), buffer, &n);
    Record();
    size = n;
    return ok != FALSE;
  }

  // Only a token this object opened; one the caller never closes goes with the object.
  void CloseToken(std::uintptr_t token) override { tokens_.erase(token); }

  std::uint32_t GetShortPathName(const std::string& path, char* buffer,
                                 std::uint32_t capacity) override {
    const DWORD n = ::GetShortPathNameA(path.c_str(), buffer, capacity);
    Record();
    return n;
  }

  std::uint32_t GetSystemDirectory(char* buffer, std::uint32_t capacity) override {
    const UINT n = ::GetSystemDirectoryA(buffer, capacity);
    Record();
    return n;
  }

  long GetSpecialFolderPath(int csidl, std::string& path) override {
    path.clear();
    // The system folder is documented as GetSystemDirectoryA's answer: asked for at every
    // start-up, it is not worth loading shell32 (and the window system behind it) for.
    if (csidl == CSIDL_SYSTEM) {
      char buffer[MAX_PATH + 1] = {};
      const UINT n = ::GetSystemDirectoryA(buffer, MAX_PATH + 1);
      Record();
      if (n == 0 || n > MAX_PATH) return E_FAIL;
      path.assign(buffer, n);
      return S_OK;
    }
    const auto location = system_dll::Get<decltype(&::SHGetSpecialFolderLocation)>(
        "shell32.dll", "SHGetSpecialFolderLocation");
    const auto pathOf =
        system_dll::Get<decltype(&::SHGetPathFromIDListA)>("shell32.dll", "SHGetPathFromIDListA");
    const auto release = system_dll::Get<decltype(&::CoTaskMemFree)>("ole32.dll", "CoTaskMemFree");
    if (location == nullptr || pathOf == nullptr || release == nullptr) {
      Record();  // 126 (no such DLL) or 127 (no such function)
      return HRESULT_FROM_WIN32(lastError_);
    }
    LPITEMIDLIST pidl = nullptr;
    const HRESULT hr = location(nullptr, csidl, &pidl);
    Record();
    if (hr != S_OK) return hr;
    char buffer[MAX_PATH + 1] = {};
    if (pathOf(pidl, buffer)) path = buffer;
    Record();
    release(pidl);
    return S_OK;
  }

  std::uint32_t FormatMessage(std::uint32_t code, char* buffer, std::uint32_t capacity) override {
    // No argument list is passed: a message holding %1 must keep it as text rather than
    // read arguments that are not there.
    const DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, code, 0, buffer, capacity, nullptr);
    Record();
    return n;
  }

  std::uint32_t GetLastError() override { return lastError_; }

  std::uint32_t ExpandEnvironmentStrings(const std::string& source, char* buffer,
                                         std::uint32_t capacity) override {
    const DWORD n = ::ExpandEnvironmentStringsA(source.c_str(), buffer, capacity);
    Record();
    return n;
  }

 private:
  void Record() { lastError_ = ::GetLastError(); }
  std::uint32_t lastError_ = 0;
  std::map<std::uintptr_t, OwnedHandle> tokens_;
};

}  // namespace

std::unique_ptr<System> CreateSystem() {
  return std::make_unique<Win32System>();
}
