#pragma once
// Windows' own English system message texts, for the codes this build's services answer.
#include <cstdint>

namespace posix {
// The message for a Win32 error code, without a line break; nullptr when there is none.
const char* SystemMessageText(std::uint32_t code);
}  // namespace posix
