// The two short-path wrappers. They differ on failure: GetShortpath gives "" when the call
// fails, fncGetShortPathName gives its input back.
#include "main/log_writer.h"
#include "main/run_context.h"
#include "main/windows_calls.h"
#include "platform/runtime_error.h"
#include "platform/system.h"
#include "text/buffer_text.h"

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
