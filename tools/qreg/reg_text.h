#pragma once
// Text between the registry's ANSI calls (Windows-1252 on both builds) and the Unicode forms
// that reg and regedit use: UTF-16LE values and "Version 5.00" files, UTF-8 files.
#include <string>

namespace qreg {
// ANSI text as UTF-16LE bytes, without a closing NUL.
std::string Utf16FromAnsi(const std::string& ansi);
// UTF-16LE bytes (an odd last byte is dropped) as ANSI text; a character the code page
// lacks becomes "?".
std::string AnsiFromUtf16(const std::string& utf16);
// UTF-8 text as ANSI text; a character the code page lacks, or a broken sequence, becomes "?".
std::string AnsiFromUtf8(const std::string& utf8);
}  // namespace qreg
