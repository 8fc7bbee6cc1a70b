// Under Wine: system DLLs come from the system folder by either way of loading them, a
// missing DLL or function is a failure with the system's code, and folder 37, answered
// without shell32, is byte for byte what the shell says; other folders still come from it.
#include "platform/win32/win32_api.h"
// after windows.h
#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/service_factories.h"
#include "platform/system.h"
#include "platform/win32/system_dll.h"

namespace {
namespace fs = std::filesystem;

std::string SystemFolder() {
  char buf[MAX_PATH] = {};
  const UINT n = GetSystemDirectoryA(buf, MAX_PATH);
  return std::string(buf, n);
}

std::string ModuleFolder(HMODULE module) {
  char buf[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(module, buf, MAX_PATH);
  return fs::path(std::string(buf, n)).parent_path().string();
}

TEST(SystemDll, EitherWayLoadsFromTheSystemFolderAndMissingOnesFail) {
  for (const char* name : {"version.dll", "userenv.dll", "wsock32.dll"}) {
    SCOPED_TRACE(name);
    for (HMODULE module : {system_dll::LoadWithSearchFlag(name), system_dll::LoadByFullPath(name),
                           system_dll::Load(name)}) {
      ASSERT_NE(module, nullptr) << GetLastError();
      EXPECT_TRUE(fs::equivalent(ModuleFolder(module), SystemFolder())) << ModuleFolder(module);
    }
    EXPECT_EQ(system_dll::Load(name), system_dll::Load(name));
  }
  EXPECT_NE(system_dll::Function("version.dll", "GetFileVersionInfoSizeA"), nullptr);

  for (auto load :
       {&system_dll::LoadWithSearchFlag, &system_dll::LoadByFullPath, &system_dll::Load}) {
    EXPECT_EQ(load("qenv-no-such.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  }
  EXPECT_EQ(system_dll::Function("qenv-no-such.dll", "F"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(system_dll::Function("version.dll", "QenvNoSuchFunction"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
}

// The shell's own answer for a folder id: its HRESULT and path.
std::pair<long, std::string> ShellAnswer(int csidl) {
  LPITEMIDLIST pidl = nullptr;
  const HRESULT hr = SHGetSpecialFolderLocation(nullptr, csidl, &pidl);
  if (hr != S_OK) return {hr, ""};
  char buf[MAX_PATH + 1] = {};
  SHGetPathFromIDListA(pidl, buf);
  CoTaskMemFree(pidl);
  return {hr, buf};
}

TEST(SystemDll, SpecialFoldersAnswerAsTheShellDoes) {
  const std::unique_ptr<System> system = CreateSystem();
  // 37 the system folder (the start-up's regsvr32 path), 36 Windows, 26 application data,
  // 40 the profile, 0x7fff no folder at all.
  for (int csidl : {CSIDL_SYSTEM, CSIDL_WINDOWS, CSIDL_APPDATA, CSIDL_PROFILE, 0x7fff}) {
    SCOPED_TRACE(csidl);
    std::string path = "stale";
    const long hr = system->GetSpecialFolderPath(csidl, path);
    const auto [shellHr, shellPath] = ShellAnswer(csidl);
    EXPECT_EQ(hr, shellHr);
    EXPECT_EQ(path, shellPath);
  }
  std::string path;
  ASSERT_EQ(system->GetSpecialFolderPath(CSIDL_SYSTEM, path), 0);
  EXPECT_EQ(path, SystemFolder());
}

}  // namespace
