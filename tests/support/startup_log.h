#pragma once
#include <string>
#include <vector>

// The start-up's log messages for the identity every agent fixture seeds (Memberid 42,
// SITEID 7, RegID 1234, TYPE SERVER), up to its last check.
std::vector<std::string> StartupLogMessages(const std::string& installDir,
                                            const std::string& exeVersion);
