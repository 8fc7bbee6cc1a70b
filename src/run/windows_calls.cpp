// The Windows call wrappers: each fills a caller-supplied buffer, cuts the result to the
// length the call reports, and decides what a failure gives.
#include "run/windows_calls.h"

#include "platform/system.h"
#include "run/failure_description.h"
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
  } catch (...) {
    const Failure failure = CurrentFailure();
    subWriteLog(ctx, "ERR : fncFormatMessage. ErrDesc : " + std::to_string(failure.number) + " " +
                         failure.description);
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
  const text::GrownBuffer shortPath = text::GrowToReportedSize(
      {capacity, kLongestPath, false, '\0', 1}, [&](char* buffer, std::uint32_t size) {
        return system.GetShortPathName(path, buffer, size);
      });
  if (!shortPath.Fits()) return "";
  return text::Left(shortPath.buffer, static_cast<long>(shortPath.length));
}
}  // namespace

std::string GetShortpath(RunContext& ctx, const std::string& path) {
  try {
    return ShortPathOf(ctx.platform.system, path, 164);
  } catch (...) {
    const Failure failure = CurrentFailure();
    subWriteLog(ctx, "ERR : In GetShortpath. Err : " + std::to_string(failure.number) +
                         "::" + failure.description);
    return path;
  }
}

std::string fncGetShortPathName(RunContext& ctx, const std::string& path) {
  try {
    const std::string shortPath = ShortPathOf(ctx.platform.system, path, 500);
    return shortPath.empty() ? path : shortPath;
  } catch (...) {
    return path;
  }
}

// The system folder and the special (CSIDL) folders; both give "" when there is none.

std::string fncGetSystemDirectory(RunContext& ctx) {
  try {
    // A buffer of 255 blanks; a folder that does not fit comes back as the size it needs.
    const text::GrownBuffer folder = text::GrowToReportedSize(
        {255, kLongestPath, false, ' ', 0}, [&](char* buffer, std::uint32_t size) {
          return ctx.platform.system.GetSystemDirectory(buffer, size);
        });
    if (!folder.Fits()) return "";
    return text::Left(folder.buffer, static_cast<long>(folder.length));
  } catch (...) {
    return "";
  }
}

std::string GetSpecialfolder(RunContext& ctx, std::int32_t folderId) {
  try {
    std::string path;
    if (ctx.platform.system.GetSpecialFolderPath(folderId, path) != 0) return "";
    return fncTrimNull(path);
  } catch (...) {
    const Failure failure = CurrentFailure();
    subWriteLog(ctx, "ERR : " + std::to_string(failure.number) + " (" + failure.description +
                         ") in procedure GetSpecialfolder of Module modShutdown");
    return "";
  }
}
