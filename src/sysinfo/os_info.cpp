#include "sysinfo/os_info.h"

#include <cstdio>

#include "platform/clock.h"
#include "platform/runtime_error.h"
#include "platform/system.h"
#include "platform/wmi.h"
#include "registry/registry_access.h"
#include "run/failure_description.h"
#include "run/log_writer.h"
#include "run/run_context.h"
#include "run/windows_calls.h"
#include "sysinfo/os_type.h"
#include "text/text_util.h"

namespace {

const char kErrorPrefix[] = "Error while expanding the environmental variable ";

constexpr std::uint16_t kSuiteEnterprise = 0x0002;
constexpr std::uint16_t kSuiteDatacenter = 0x0080;
constexpr std::uint16_t kSuitePersonal = 0x0200;
constexpr std::uint8_t kWorkstation = 1;
constexpr std::uint8_t kDomainController = 2;
constexpr std::uint8_t kServer = 3;

// A property the instance does not carry is an error, as reading it from a script is.
std::string PropertyText(const WmiInstance& instance, const char* property) {
  auto it = instance.find(property);
  if (it == instance.end())
    throw RuntimeError(438, "Object doesn't support this property or method");
  return it->second.value_or("");
}

// Call only inside a catch block: the error text names the failure being handled.
void Trap(RunContext& ctx, const char* procedure, const std::string& name, std::string& errorText) {
  errorText = kErrorPrefix + name + ", " + DescriptionOfCurrentFailure();
  subWriteLog(ctx, std::string("ERR : in ") + procedure + ", " + errorText);
}

std::string ProductNameByVersion(const OsVersionInfo& v) {
  if (v.majorVersion < 4) return "Microsoft Windows NT 3 ";
  if (v.majorVersion == 4) return "Microsoft Windows NT 4 ";
  if (v.majorVersion == 5 && v.minorVersion == 0) return "Microsoft Windows 2000 ";
  if (v.majorVersion == 5 && v.minorVersion == 1) return "Microsoft Windows XP ";
  if (v.majorVersion == 5 && v.minorVersion == 2) return "Microsoft Windows 2003 ";
  if (v.majorVersion == 6 && v.minorVersion == 0)
    return v.productType == kWorkstation ? "Microsoft Windows Vista "
                                         : "Microsoft Windows Server 2008 ";
  if (v.majorVersion == 6 && v.minorVersion == 1)
    return v.productType == kWorkstation ? "Microsoft Windows 7 "
                                         : "Microsoft Windows Server 2008 R2 ";
  return "";
}

// The words a server edition adds after the product name; the domain-controller branch
// drops the blank after the first and last of them.
std::string ServerWords(const OsVersionInfo& v, const std::string& productName,
                        bool domainController) {
  if (v.suiteMask & kSuiteDatacenter)
    return domainController ? "DataCenter Server" : "DataCenter Server ";
  if (v.suiteMask & kSuiteEnterprise)
    return productName == "Microsoft Windows 2003 " ? "Server " : "Advanced Server ";
  return domainController ? "Server" : "Server ";
}

}  // namespace

std::string fncGetVersionNumber(RunContext& ctx) {
  const std::uint32_t low = ctx.platform.system.GetVersion() & 0xFFFFu;
  const double number = static_cast<double>(low & 0xFFu) + static_cast<double>(low >> 8) / 100.0;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", number);
  return text::ReplaceAll(buf, ".", ctx.platform.clock.DecimalSeparator());
}

bool fncGetOSInfoWMI(RunContext& ctx, const std::string& name, std::string& value,
                     std::string& errorText) {
  bool result = false;
  try {
    subWriteLog(ctx, "MSG : In fncGetOSInfoWMI");
    const std::string key = text::UpperAscii(text::Trim(name));
    for (const WmiInstance& os : ctx.platform.wmi.InstancesOf("Win32_OperatingSystem")) {
      if (key == "OS") {
        value = text::Trim(PropertyText(os, "Caption"));
        result = true;
      } else if (key == "OSBUILDNUMBER") {
        value = text::Trim(PropertyText(os, "BuildNumber"));
        result = true;
      } else if (key == "OSCSDVERSION") {
        value = text::Trim(PropertyText(os, "CSDVersion"));
        result = true;
      } else if (key == "OSTYPE") {
        value = fncGetOSType(text::Trim(PropertyText(os, "OSType")));
        result = true;
      } else if (key == "OSVERSION") {
        value = text::Trim(PropertyText(os, "Version"));
        result = true;
      }
    }
  } catch (...) {
    Trap(ctx, "fncGetOSInfoWMI", name, errorText);
  }
  return result;
}

bool fncGetOSInfoAPI(RunContext& ctx, const std::string& name, std::string& value,
                     std::string& errorText) {
  try {
    subWriteLog(ctx, "MSG : In fncGetOSInfoAPI");
    System& system = ctx.platform.system;
    OsVersionInfo v{};
    v.osVersionInfoSize = 156;
    const bool extended = system.GetVersionEx(v);
    if (!extended) {
      v.osVersionInfoSize = 148;
      system.GetVersionEx(v);
    }
    const std::string versionNumber = fncGetVersionNumber(ctx);
    if (v.platformId != 2) return false;

    std::string productName = ProductNameByVersion(v);
    std::string productTypeKeyword;
    if (extended) {
      if (v.productType == kWorkstation) {
        if (productName != "Microsoft Windows NT 4 ")
          productName += (v.suiteMask & kSuitePersonal) ? "Home Edition " : "Professional ";
      } else if (v.productType == kServer) {
        if (productName != "Microsoft Windows NT 4 ")
          productName += ServerWords(v, productName, false);
      }
      productTypeKeyword = "WINNT";
    } else {
      const std::string stored = text::UpperAscii(ctx.RegistryAccess().ReadString(
          "HKLM\\SYSTEM\\CurrentControlSet\\Control\\ProductOptions", "ProductType"));
      if (stored == "WINNT") {
        productTypeKeyword = "WINNT";
        productName += "Professional ";
      } else if (stored == "LANMANNT") {
        productTypeKeyword = "LANMANNT";
        productName += "Server ";
      } else if (stored == "SERVERNT") {
        productTypeKeyword = "SERVERNT";
        productName += "Advanced Server ";
      }
    }

    const std::string buildText = std::to_string(v.buildNumber);
    const std::string versionText =
        std::to_string(v.majorVersion) + "." + std::to_string(v.minorVersion) + "." + buildText;

    // Only the 5.0x releases name their domain-controller edition; the comparison is on
    // the locale-formatted number, so a comma locale never matches.
    if ((versionNumber == "5.00" || versionNumber == "5.01" || versionNumber == "5.02") &&
        v.productType == kDomainController)
      productName += ServerWords(v, productName, true);

    const std::string key = text::UpperAscii(text::Trim(name));
    if (key == "OS") {
      value = text::Trim(productName);
    } else if (key == "OSBUILDNUMBER") {
      value = text::Trim(buildText);
    } else if (key == "OSCSDVERSION") {
      value = fncTrimNull(std::string(v.csdVersion, sizeof v.csdVersion));
    } else if (key == "OSTYPE") {
      value = text::Trim(productTypeKeyword);
    } else if (key == "OSVERSION") {
      value = text::Trim(versionText);
    } else {
      return false;
    }
    return true;
  } catch (...) {
    Trap(ctx, "fncGetOSInfoAPI", name, errorText);
    return false;
  }
}

bool fncGetOSInfo(RunContext& ctx, const std::string& name, std::string& value,
                  std::string& errorText) {
  try {
    subWriteLog(ctx, "MSG : In fncGetOSInfo ");
    if (fncGetOSInfoWMI(ctx, name, value, errorText)) return true;
    errorText.clear();
    if (!fncGetOSInfoAPI(ctx, name, value, errorText)) return false;
    subWriteLog(ctx, "MSG : OS Name :: " + value);
    return true;
  } catch (...) {
    Trap(ctx, "fncGetOSInfo", name, errorText);
    return false;
  }
}
