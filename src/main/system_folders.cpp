// The system folder and the special (CSIDL) folders; both give "" when there is none.
#include "main/log_writer.h"
#include "main/run_context.h"
#include "main/windows_calls.h"
#include "platform/runtime_error.h"
#include "platform/system.h"
#include "text/buffer_text.h"

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
