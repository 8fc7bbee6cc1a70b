// Under Wine: system DLLs come from the system folder by either way of loading them, a
// missing DLL or function fails with the system's code, and folder 37, answered without
// shell32, is byte for byte what the shell says; other folders still come from the shell.
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

TEST(SystemDll, EitherWayLoadsFromTheSystemFolderAndMissingOnesFail) {
  char folder[MAX_PATH] = {}, file[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  for (auto load :
       {&system_dll::LoadWithSearchFlag, &system_dll::LoadByFullPath, &system_dll::Load}) {
    const HMODULE module = load("userenv.dll");
    ASSERT_NE(module, nullptr) << GetLastError();
    GetModuleFileNameA(module, file, MAX_PATH);
    EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::path(file).parent_path(), folder));
    EXPECT_EQ(load("qenv-no-such.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  }
  EXPECT_EQ(system_dll::Function("qenv-no-such.dll", "F"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(system_dll::Function("version.dll", "QenvNoSuchFunction"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
}

TEST(SystemDll, SpecialFoldersAnswerAsTheShellDoes) {
  const std::unique_ptr<System> system = CreateSystem();
  // 37 the system folder (the start-up's regsvr32 path), 36 Windows, 26 application data,
  // 40 the profile, 0x7fff no folder at all.
  for (int csidl : {CSIDL_SYSTEM, CSIDL_WINDOWS, CSIDL_APPDATA, CSIDL_PROFILE, 0x7fff}) {
    LPITEMIDLIST pidl = nullptr;
    const HRESULT shellHr = SHGetSpecialFolderLocation(nullptr, csidl, &pidl);
    char shellPath[MAX_PATH + 1] = {};
    if (shellHr == S_OK) SHGetPathFromIDListA(pidl, shellPath);
    CoTaskMemFree(pidl);
    std::string path = "stale";
    EXPECT_EQ(system->GetSpecialFolderPath(csidl, path), shellHr) << csidl;
    EXPECT_EQ(path, shellPath) << csidl;
  }
}

}  // namespace
