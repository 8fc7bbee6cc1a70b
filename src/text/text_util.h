#pragma once
// Text helpers the whole core shares. Trimming removes the space character only; case
// folding is ASCII (bytes above 127 compare exactly), as the program's ANSI text needs.
#include <string>

namespace text {
std::string Trim(const std::string& s);
std::string UpperAscii(std::string s);
std::string LowerAscii(std::string s);
bool EqualsNoCase(const std::string& a, const std::string& b);
// Position of the first occurrence of needle in hay at or after from, ignoring case;
// npos when none.
std::size_t FindNoCase(const std::string& hay, const std::string& needle, std::size_t from = 0);
bool ContainsNoCase(const std::string& hay, const std::string& needle);
// Every non-overlapping occurrence, left to right, without regard to case.
std::string ReplaceNoCase(const std::string& s, const std::string& from, const std::string& to);
// Every non-overlapping occurrence, left to right, exact comparison.
std::string ReplaceAll(const std::string& s, const std::string& from, const std::string& to);
}  // namespace text
