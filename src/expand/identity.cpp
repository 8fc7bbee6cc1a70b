#include "expand/identity.h"

#include <array>
#include <cstdint>
#include <vector>

#include "platform/system.h"
#include "platform/wmi.h"
#include "registry/registry_access.h"
#include "run/failure_description.h"
#include "run/log_writer.h"
#include "run/run_context.h"
#include "run/windows_calls.h"
#include "text/text_util.h"

namespace {

const char kErrorPrefix[] = "Error while expanding the environmental variable ";
constexpr std::uint32_t kTokenQuery = 8;

std::string SystemErrorText(RunContext& ctx) {
  return fncFormatMessage(ctx, static_cast<std::int32_t>(ctx.platform.system.GetLastError()));
}

}  // namespace

bool fncGetComputerName(RunContext& ctx, const std::string& name, std::string& value,
                        std::string& errorText) {
  try {
    subWriteLog(ctx, "MSG : Expanding the env variable " + name);
    std::array<char, 32> buffer;
    buffer.fill('X');
    std::uint32_t size = buffer.size();
    if (ctx.platform.system.GetComputerName(buffer.data(), size)) {
      value.assign(buffer.data(), size < buffer.size() ? size : buffer.size());
      return true;
    }
    errorText = kErrorPrefix + name + ", " + SystemErrorText(ctx);
    subWriteLog(ctx, "ERR :" + errorText);
    return false;
  } catch (...) {
    errorText = kErrorPrefix + name + ", " + DescriptionOfCurrentFailure();
    subWriteLog(ctx, "ERR : fncGetComputerName, " + errorText);
    return false;
  }
}

bool fncGetDomainName(RunContext& ctx, const std::string& name, std::string& value,
                      std::string& errorText) {
  std::uint32_t platformId = 0;
  try {
    subWriteLog(ctx, "MSG : In fncGetDomainName");
    OsVersionInfo version{};
    version.osVersionInfoSize = 156;
    if (ctx.platform.system.GetVersionEx(version)) platformId = version.platformId;
    if (platformId == 0 || platformId == 1) {
      errorText = "OS is not supported";
      subWriteLog(ctx, std::string("ERR : ") + kErrorPrefix + name + ", " + errorText);
      return false;
    }
  } catch (...) {
    errorText = kErrorPrefix + name + ", " + DescriptionOfCurrentFailure();
    subWriteLog(ctx, "ERR : fncGetDomainName, " + errorText);
    return false;
  }
  if (platformId != 2) return false;

  // From here a failing step is passed over and the next one taken.
  std::vector<WmiInstance> systems;
  try {
    systems = ctx.platform.wmi.InstancesOf("Win32_ComputerSystem");
  } catch (...) {
  }
  subWriteLog(ctx, "MSG : Setted the object for Win32_ComputerSystem");
  value = "UNKNOWN";
  for (const WmiInstance& system : systems) {
    auto domain = system.find("Domain");
    if (domain != system.end()) value = text::Trim(domain->second.value_or(""));
  }
  if (value != "UNKNOWN") return true;

  try {
    value = ctx.RegistryAccess().ReadString(
        "HKLM\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters", "Domain", errorText);
  } catch (...) {
  }
  if (!text::Trim(errorText).empty()) {
    subWriteLog(ctx, std::string("ERR : ") + kErrorPrefix + name + ", " + errorText);
    return false;
  }
  return true;
}

void fncGetUserName(RunContext& ctx, const std::string& name, std::string& value,
                    std::string& errorText) {
  try {
    std::array<char, 100> buffer{};
    std::uint32_t size = buffer.size();
    const bool ok = ctx.platform.system.GetUserName(buffer.data(), size);
    value = fncTrimNull(std::string(buffer.data(), buffer.size()));
    if (!ok) {
      // A name that does not fit is a failure, not an empty user name.
      value.clear();
      errorText = kErrorPrefix + name + ", " + SystemErrorText(ctx);
      subWriteLog(ctx, "ERR :" + errorText);
    }
  } catch (...) {
    errorText = kErrorPrefix + name + ", " + DescriptionOfCurrentFailure();
    subWriteLog(ctx, "ERR : fncGetUserName, " + errorText);
  }
}

bool fncGetWeekDay(RunContext& ctx, std::string& value, std::string& errorText) {
  static const std::array<const char*, 7> kDays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                   "Thursday", "Friday", "Saturday"};
  try {
    const int weekday = ctx.platform.clock.Now().weekday;
    value = weekday >= 1 && weekday <= 7 ? kDays[static_cast<std::size_t>(weekday - 1)] : "";
    return !text::Trim(value).empty();
  } catch (...) {
    errorText = std::string(kErrorPrefix) + "'Day', " + DescriptionOfCurrentFailure();
    subWriteLog(ctx, "ERR : in fncGetWeekDay, " + errorText);
    return false;
  }
}

void fncGetCurrentUserProfile(RunContext& ctx, std::string& errorText) {
  try {
    errorText.clear();
    subWriteLog(ctx, "MSG : In fncGetCurrentUserProfile");
    System& system = ctx.platform.system;
    std::array<char, 255> buffer{};
    std::uintptr_t token = 0;
    const bool opened = system.OpenProcessToken(kTokenQuery, token);
    subWriteLog(ctx,
                std::string("MSg : Return Value for OpenProcessToken :: ") + (opened ? "1" : "0"));
    if (!opened) {
      const std::uint32_t code = system.GetLastError();
      subWriteLog(ctx, "ERR : OpenProcessToken :: " +
                           fncFormatMessage(ctx, static_cast<std::int32_t>(code)) +
                           ", Last dll error :: " + std::to_string(code));
      token = 0;
    }
    std::uint32_t size = buffer.size();
    const bool found = system.GetUserProfileDirectory(token, buffer.data(), size);
    subWriteLog(ctx, std::string("MSG : Return Value for GetUserProfileDirectory :: ") +
                         (found ? "1" : "0"));
    if (!found) {
      const std::uint32_t code = system.GetLastError();
      subWriteLog(ctx, "ERR : GetUserProfileDirectory :: " +
                           fncFormatMessage(ctx, static_cast<std::int32_t>(code)) +
                           ", Last dll error :: " + std::to_string(code));
    }
    if (opened) system.CloseToken(token);
    ctx.gstrUserProfile = fncTrimNull(std::string(buffer.data(), buffer.size()));
    subWriteLog(ctx, "MSG : %USERPROFILE% :: " + ctx.gstrUserProfile);
  } catch (...) {
    errorText = std::string(kErrorPrefix) + "for userprofile, " + DescriptionOfCurrentFailure();
    subWriteLog(ctx, "ERR : fncGetCurrentUserProfile, " + errorText);
  }
}
