// The version functions' path of the OS variables answers the version the system really
// runs (RtlGetVersion, which no compatibility shim lowers) because the program's manifest
// names Windows 10 among its systems: without it Windows 10 and 11 answer 6.2.9200.
#include "fakes/test_context.h"
#include "platform/win32/win32_api.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "platform/service_factories.h"
#include "sysinfo/os_info.h"

namespace {

TEST(OsVersionApiPath, ReportsTheVersionTheSystemRuns) {
  OSVERSIONINFOW truth{};
  truth.dwOSVersionInfoSize = sizeof truth;
  const auto rtlGetVersion = reinterpret_cast<LONG(WINAPI*)(OSVERSIONINFOW*)>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
  ASSERT_TRUE(rtlGetVersion && rtlGetVersion(&truth) == 0);
  FakePlatform fake;
  std::unique_ptr<System> system = CreateSystem();
  std::unique_ptr<Clock> clock = CreateClock();
  TestContext ctx(Platform{fake.registry, *system, fake.environment, *clock, fake.files, fake.wmi,
                           fake.net, fake.process, fake.window});
  std::string value, error;
  ASSERT_TRUE(fncGetOSInfoAPI(ctx, "OSVERSION", value, error)) << error;
  EXPECT_EQ(value, std::to_string(truth.dwMajorVersion) + "." +
                       std::to_string(truth.dwMinorVersion) + "." +
                       std::to_string(truth.dwBuildNumber));
}

}  // namespace
