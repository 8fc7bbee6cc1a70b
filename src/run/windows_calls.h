#pragma once
// Thin wrappers over the Windows calls that fill a caller-supplied character buffer: each
// fixes the buffer, cuts the result to the length the call reports, and decides what a
// failure gives. None of them raises to its caller.
#include <cstdint>
#include <string>

class RunContext;

// The short (8.3) form of path; "" when the call fails. A run-time error logs and gives the
// input back.
std::string GetShortpath(RunContext& ctx, const std::string& path);
// The short form of path, or path itself whenever there is none.
std::string fncGetShortPathName(RunContext& ctx, const std::string& path);
// The Windows system folder; "" when there is none.
std::string fncGetSystemDirectory(RunContext& ctx);
// The folder of a CSIDL id; "" when there is none.
std::string GetSpecialfolder(RunContext& ctx, std::int32_t folderId);
// "<code>-<system message>", or the code alone when the system has no text for it.
std::string fncFormatMessage(RunContext& ctx, std::int32_t code);
// text up to its first NUL character.
std::string fncTrimNull(const std::string& text);
