#pragma once
// The agent's installation folder as the run uses it.
#include <string>

// Doubled backslashes collapse to one, left to right in one pass, except a leading pair,
// which names a network path and stays; then the separator is appended unless the value
// with spaces trimmed already ends in "\" or in the separator (trailing spaces stay before
// the appended separator).
std::string NormalizeInstallPath(const std::string& value, const std::string& separator);
