// fncCharCount: how often the splitter's pattern occurs in a text.
#include "expand/token_splitter.h"

#include "expand/log_text.h"
#include "run/failure_description.h"
#include "run/log_writer.h"

namespace {
bool SameNoCase(char a, char b) {
  if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 32);
  if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 32);
  return a == b;
}

bool MatchesAt(const std::string& text, std::size_t at, const std::string& pattern,
               bool caseSensitive) {
  for (std::size_t k = 0; k < pattern.size(); ++k) {
    const char a = text[at + k];
    if (caseSensitive ? a != pattern[k] : !SameNoCase(a, pattern[k])) return false;
  }
  return true;
}
}  // namespace

std::size_t fncCharCount(RunContext& ctx, const std::string& text, const std::string& pattern,
                         bool caseSensitive) {
  try {
    // The message names "%" whatever the pattern: the splitter is its one caller.
    subWriteLog(ctx, "MSG : Calculating the count for % in " + expand::LogText(text));
    if (text.empty()) return 0;
    std::size_t count = 0;
    if (pattern.size() <= text.size()) {
      const std::size_t last = text.size() - pattern.size();
      for (std::size_t i = 0; i <= last; ++i)
        if (MatchesAt(text, i, pattern, caseSensitive)) ++count;
    }
    subWriteLog(ctx, "MSG : Count is " + std::to_string(count));
    return count;
  } catch (...) {
    subWriteLog(ctx, "ERR : In fncCharCount, " + DescriptionOfCurrentFailure());
  }
  return 0;
}
