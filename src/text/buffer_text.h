#pragma once
// Turning a buffer that a platform call filled into a string, with the run-time error the
// program gets when the length to keep comes out negative.
#include <string>

namespace text {
// The first n characters of s (all of s when n is larger); a negative n raises
// InvalidProcedureCall.
std::string Left(const std::string& s, long n);
// s before its first NUL; raises InvalidProcedureCall when s holds none.
std::string BeforeFirstNul(const std::string& s);
}  // namespace text
