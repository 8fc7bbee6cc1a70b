#pragma once
// The operating-system type codes that WMI's Win32_OperatingSystem.OSType reports.
#include <string>

// The name of the code given as decimal text ("18" gives "WINNT"); any other text, leading
// zeros and blanks included, gives "".
std::string fncGetOSType(const std::string& code);
