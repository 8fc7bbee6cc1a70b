// The system's text for a Windows error code, and cutting a filled buffer at its NUL.
#include "main/log_writer.h"
#include "main/run_context.h"
#include "main/windows_calls.h"
#include "platform/runtime_error.h"
#include "platform/system.h"
#include "text/buffer_text.h"

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
