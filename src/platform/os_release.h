#pragma once
// The os-release file format: KEY=value lines, values bare or in single or double quotes,
// with backslash escapes inside double quotes; "#" lines are comments.
#include <map>
#include <string>

std::map<std::string, std::string> ParseOsRelease(const std::string& content);
