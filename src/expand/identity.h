#pragma once
// The machine, domain and user behind the identity variables. Each logs what it does and
// reports failure through errorText, most texts beginning "Error while expanding the
// environmental variable ".
#include <string>

class RunContext;

// COMPUTERNAME: GetComputerNameA into 32 characters.
bool fncGetComputerName(RunContext& ctx, const std::string& name, std::string& value,
                        std::string& errorText);
// DOMAINNAME and NTTYPE: WMI's Win32_ComputerSystem.Domain on the NT family, else the TCP/IP
// parameters' "Domain" value.
bool fncGetDomainName(RunContext& ctx, const std::string& name, std::string& value,
                      std::string& errorText);
// USERNAME: GetUserNameA into 100 characters. Reports no outcome; a failed call leaves an
// empty value and the error text set.
void fncGetUserName(RunContext& ctx, const std::string& name, std::string& value,
                    std::string& errorText);
// DAY: today's weekday in English, whatever the locale.
bool fncGetWeekDay(RunContext& ctx, std::string& value, std::string& errorText);
// Refreshes ctx.gstrUserProfile from the process token; failures are only logged.
void fncGetCurrentUserProfile(RunContext& ctx, std::string& errorText);
