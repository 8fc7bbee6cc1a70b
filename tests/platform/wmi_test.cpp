// The real WMI service of this build: Windows' (or Wine's) through COM, the POSIX stand-in
// natively. Both must answer the two classes the program asks for, every property as text.
#include <gtest/gtest.h>

#include <cctype>

#include "platform/service_factories.h"
#include "platform/wmi.h"
#include "sysinfo/os_type.h"

namespace {

bool AllDigits(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

TEST(WmiService, OperatingSystemHasTheFivePropertiesAsText) {
  auto wmi = CreateWmi();
  const auto instances = wmi->InstancesOf("Win32_OperatingSystem");
  ASSERT_EQ(instances.size(), 1u);
  const WmiInstance& os = instances[0];
  for (const char* property : {"Caption", "BuildNumber", "Version", "OSType"}) {
    ASSERT_TRUE(os.count(property)) << property;
    ASSERT_TRUE(os.at(property).has_value()) << property;
    EXPECT_FALSE(os.at(property)->empty()) << property;
  }
  ASSERT_TRUE(os.count("CSDVersion"));  // Null where there is no service pack, yet present
  // A number read as text, and one the type table knows (WINNT on Windows, LINUX here).
  EXPECT_TRUE(AllDigits(*os.at("OSType"))) << *os.at("OSType");
  const std::string type = fncGetOSType(*os.at("OSType"));
  EXPECT_TRUE(type == "WINNT" || type == "LINUX") << type;
}

TEST(WmiService, ComputerSystemCarriesADomain) {
  auto wmi = CreateWmi();
  const auto instances = wmi->InstancesOf("Win32_ComputerSystem");
  ASSERT_EQ(instances.size(), 1u);
  ASSERT_TRUE(instances[0].count("Domain"));
  EXPECT_TRUE(instances[0].at("Domain").has_value());
}

// The service keeps its connection between queries: the later ones answer as the first.
TEST(WmiService, LaterQueriesOfOneServiceAnswerAsTheFirst) {
  auto wmi = CreateWmi();
  const WmiInstance first = wmi->InstancesOf("Win32_OperatingSystem").at(0);
  ASSERT_EQ(wmi->InstancesOf("Win32_ComputerSystem").size(), 1u);
  const WmiInstance again = wmi->InstancesOf("Win32_OperatingSystem").at(0);
  // Memory and clock properties move between queries; these do not.
  for (const char* property : {"Caption", "Version", "BuildNumber", "OSType"})
    EXPECT_EQ(again.at(property), first.at(property)) << property;
}

}  // namespace
