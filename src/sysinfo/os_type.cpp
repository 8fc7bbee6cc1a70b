#include "sysinfo/os_type.h"

#include <array>

namespace {
// Indexed by code. "DECNT " keeps its trailing blank: callers have always seen it so.
constexpr std::array<const char*, 58> kOsTypes = {"Unknown",
                                                  "Other",
                                                  "MACROS",
                                                  "ATTUNIX",
                                                  "DGUX",
                                                  "DECNT ",
                                                  "Digital Unix",
                                                  "OpenVMS",
                                                  "HPUX",
                                                  "AIX",
                                                  "MVS",
                                                  "OS400",
                                                  "OS/2",
                                                  "JavaVM",
                                                  "MSDOS",
                                                  "WIN3x",
                                                  "WIN95",
                                                  "WIN98",
                                                  "WINNT",
                                                  "WINCE",
                                                  "NCR3000",
                                                  "NetWare",
                                                  "OSF",
                                                  "DC/OS",
                                                  "Reliant UNIX",
                                                  "SCO UnixWare",
                                                  "SCO OpenServer",
                                                  "Sequent",
                                                  "IRIX",
                                                  "Solaris",
                                                  "SunOS",
                                                  "U6000",
                                                  "ASERIES",
                                                  "TandemNSK",
                                                  "TandemNT",
                                                  "BS2000",
                                                  "LINUX",
                                                  "Lynx",
                                                  "XENIX",
                                                  "VM/ESA",
                                                  "Interactive UNIX",
                                                  "BSDUNIX",
                                                  "FreeBSD",
                                                  "NetBSD",
                                                  "GNU Hurd",
                                                  "OS9",
                                                  "MACH Kernel",
                                                  "Inferno",
                                                  "QNX",
                                                  "EPOC",
                                                  "IxWorks",
                                                  "VxWorks",
                                                  "MiNT",
                                                  "BeOS",
                                                  "HP MPE",
                                                  "NextStep",
                                                  "PalmPilot",
                                                  "Rhapsody"};
}  // namespace

std::string fncGetOSType(const std::string& code) {
  for (std::size_t i = 0; i < kOsTypes.size(); ++i)
    if (code == std::to_string(i)) return kOsTypes[i];
  return "";
}
