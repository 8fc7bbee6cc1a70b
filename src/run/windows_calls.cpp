// The Windows call wrappers: each fills a caller-supplied buffer, cuts the result to the
// length the call reports, and decides what a failure gives.
#include "run/windows_calls.h"

#include "platform/runtime_error.h"
#include "platform/system.h"
#include "run/log_writer.h"
#include "run/run_context.h"
#include "text/buffer_text.h"

// The system's text for a Windows error code, and cutting a filled buffer at its NUL.

std::string fncFormatMessage(RunContext& ctx, std::int32_t code) {
  std::string codeText = std::to_string(code);
  try {
    std::string buffer(257, '\0');
    const std::uint32_t n =
        ctx.platform.system.FormatMessage(static_cast<std::uint32_t>(code), buffer.data(), 200);
    if (n == 0) return codeText;
    // The message without the CR LF that closes every system message.
    return codeText + "-" + text::Left(buffer, static_cast<long>(n) - 2);
  } catch (const RuntimeError& e) {
    subWriteLog(ctx, "ERR : fncFormatMessage. ErrDesc : " + std::to_string(e.Number()) + " " +
                         e.Description());
    return codeText;
  }
}

std::string fncTrimNull(const std::string& text) {
  return text.substr(0, text.find('\0'));
}

// The two short-path wrappers. They differ on failure: GetShortpath gives "" when the call
// fails, fncGetShortPathName gives its input back.

namespace {
constexpr std::uint32_t kLongestPath = 32768;  // the longest path Windows takes, NUL included

// GetShortPathNameA into a buffer of capacity + 1 NULs. A short form longer than the buffer
// comes back as the size it needs; the call is then repeated with a buffer of that size
// rather than cutting a path that would name something else.
std::string ShortPathOf(System& system, const std::string& path, std::uint32_t capacity) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::string buffer(capacity + 1, '\0');
    const std::uint32_t n = system.GetShortPathName(path, buffer.data(), capacity);
    if (n < capacity) return text::Left(buffer, static_cast<long>(n));
    if (n > kLongestPath) break;
    capacity = n;
  }
  return "";
}
}  // namespace

std::string GetShortpath(RunContext& ctx, std::string& path) {
  try {
    return ShortPathOf(ctx.platform.system, path, 164);
  } catch (const RuntimeError& e) {
    subWriteLog(
        ctx, "ERR : In GetShortpath. Err : " + std::to_string(e.Number()) + "::" + e.Description());
    return path;
  }
}

std::string fncGetShortPathName(RunContext& ctx, std::string path) {
  try {
    const std::string shortPath = ShortPathOf(ctx.platform.system, path, 500);
    return shortPath.empty() ? path : shortPath;
  } catch (const RuntimeError&) {
    return path;
  }
}

// The system folder and the special (CSIDL) folders; both give "" when there is none.

std::string fncGetSystemDirectory(RunContext& ctx) {
  try {
    std::uint32_t capacity = 255;
    for (int attempt = 0; attempt < 3; ++attempt) {
      std::string buffer(capacity, ' ');
      const std::uint32_t n = ctx.platform.system.GetSystemDirectory(buffer.data(), capacity);
      if (n < capacity) return text::Left(buffer, static_cast<long>(n));
      if (n > 32768) break;  // no folder path is that long
      capacity = n;          // too small: n is the size it needs
    }
    return "";
  } catch (const RuntimeError&) {
    return "";
  }
}

std::string GetSpecialfolder(RunContext& ctx, std::int32_t& folderId) {
  try {
    std::string path;
    if (ctx.platform.system.GetSpecialFolderPath(folderId, path) != 0) return "";
    return fncTrimNull(path);
  } catch (const RuntimeError& e) {
    subWriteLog(ctx, "ERR : " + std::to_string(e.Number()) + " (" + e.Description() +
                         ") in procedure GetSpecialfolder of Module modShutdown");
    return "";
  }
}
