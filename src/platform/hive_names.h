#pragma once
// The seven hives: the four-letter token, the long name and the predefined root of each.
// The registry class, qreg and the in-memory test registry all name hives from this table.
#include <array>
#include <string_view>

#include "platform/registry.h"

struct HiveName {
  std::string_view token;     // "HKLM"
  std::string_view longName;  // "HKEY_LOCAL_MACHINE"
  RegKey root;
};

// In the order the registry class shortens long names (and expands tokens back).
inline constexpr std::array<HiveName, 7> kHiveNames{{
    {"HKCU", "HKEY_CURRENT_USER", reg::kCurrentUser},
    {"HKLM", "HKEY_LOCAL_MACHINE", reg::kLocalMachine},
    {"HKCR", "HKEY_CLASSES_ROOT", reg::kClassesRoot},
    {"HKUS", "HKEY_USERS", reg::kUsers},
    {"HKPD", "HKEY_PERFORMANCE_DATA", reg::kPerformanceData},
    {"HKDD", "HKEY_DYN_DATA", reg::kDynData},
    {"HKCC", "HKEY_CURRENT_CONFIG", reg::kCurrentConfig},
}};

// The hive whose token or long name is name, compared without regard to ASCII letter case;
// nullptr for none.
const HiveName* FindHiveName(std::string_view name);
