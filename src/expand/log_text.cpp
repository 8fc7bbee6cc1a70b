#include "expand/log_text.h"

std::string expand::LogText(const std::string& text) {
  if (text.size() <= kLongestCommandLine) return text;
  return text.substr(0, kShownOfLongText) + "... (" + std::to_string(text.size()) + " characters)";
}
