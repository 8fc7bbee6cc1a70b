// The version functions' path of the OS variables on the real system: the answer must be
// the version the system really runs (RtlGetVersion, which no compatibility shim lowers),
// as it is when the program's manifest names Windows 10 among its supported systems.
// Without that entry Windows 10 and 11 (and Wine set to win10) answer 6.2.9200.
#include "platform/win32/win32_api.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "fakes/fake_platform.h"
#include "platform/service_factories.h"
#include "platform/system.h"
#include "sysinfo/os_info.h"

namespace {

std::string TrueVersion() {
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
  if (!rtlGetVersion || rtlGetVersion(&info) != 0) return "";
  return std::to_string(info.dwMajorVersion) + "." + std::to_string(info.dwMinorVersion) + "." +
         std::to_string(info.dwBuildNumber);
}

TEST(OsVersionApiPath, ReportsTheVersionTheSystemRuns) {
  const std::string truth = TrueVersion();
  ASSERT_FALSE(truth.empty());
  FakePlatform fake;
  std::unique_ptr<System> system = CreateSystem();
  std::unique_ptr<Clock> clock = CreateClock();
  std::unique_ptr<Registry> registry = CreateRegistry();
  RunContext ctx(Platform{*registry, *system, fake.environment, *clock, fake.files, fake.wmi,
                          fake.net, fake.process, fake.window});
  std::string value, error;
  ASSERT_TRUE(fncGetOSInfoAPI(ctx, "OSVERSION", value, error)) << error;
  EXPECT_EQ(value, truth);
  ASSERT_TRUE(fncGetOSInfoAPI(ctx, "OSBUILDNUMBER", value, error)) << error;
  EXPECT_EQ(value, truth.substr(truth.rfind('.') + 1));
}

}  // namespace
