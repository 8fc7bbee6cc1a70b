#pragma once
// The five operating-system variables (OS, OSBUILDNUMBER, OSCSDVERSION, OSTYPE,
// OSVERSION): WMI first, then the Windows version functions. Each takes the variable name
// as the catalogue received it and answers through value, errorText and its result.
#include <string>

class RunContext;

bool fncGetOSInfo(RunContext& ctx, const std::string& name, std::string& value,
                  std::string& errorText);
bool fncGetOSInfoWMI(RunContext& ctx, const std::string& name, std::string& value,
                     std::string& errorText);
bool fncGetOSInfoAPI(RunContext& ctx, const std::string& name, std::string& value,
                     std::string& errorText);

// GetVersion's major + minor / 100 with two decimals and the locale's decimal separator
// ("5.01"; "5,01" under a comma locale).
std::string fncGetVersionNumber(RunContext& ctx);
