#pragma once
// How the splitter's progress lines show the text they are about.
#include <cstddef>
#include <string>

namespace expand {
// The longest command line Windows passes to a program: every text a run can receive.
inline constexpr std::size_t kLongestCommandLine = 32767;
inline constexpr std::size_t kShownOfLongText = 256;

// The text itself, or for a text longer than any command line its opening followed by its
// length: the splitter logs the whole text once per name, and for such a text that would
// grow the log with the square of its length.
std::string LogText(const std::string& text);
}  // namespace expand
