#pragma once
// The numeric value of an identity text: what a leading-number parse reads from it.
#include <string>

// Spaces, tabs and line feeds are skipped wherever they stand; then an optional sign,
// digits with at most one "." and an optional exponent ("e" or "E", optional sign,
// digits), up to the first character that does not fit. "&H" and "&O" read hexadecimal
// and octal digits. A text with no leading number reads 0. An exponent too large for a
// double gives an infinity of the sign read, one too small gives 0.
double LeadingNumber(const std::string& text);
