#include "expand/token_splitter.h"

#include <set>
#include <vector>

#include "expand/log_text.h"
#include "expand/resolver.h"
#include "run/failure_description.h"
#include "run/log_writer.h"
#include "text/text_util.h"

namespace {

// The text cut at every "%": k signs give k + 1 segments, empty ones kept.
std::vector<std::string> SplitAtPercent(const std::string& text) {
  std::vector<std::string> segments;
  std::size_t start = 0;
  for (;;) {
    const std::size_t sign = text.find('%', start);
    if (sign == std::string::npos) break;
    segments.push_back(text.substr(start, sign - start));
    start = sign + 1;
  }
  segments.push_back(text.substr(start));
  return segments;
}

}  // namespace

bool fncSplitEnvVariables(RunContext& ctx, std::string& text, std::string& errorText) {
  bool result = false;
  errorText.clear();
  try {
    const std::size_t count = fncCharCount(ctx, text, "%", false);
    if (text::Trim(text).empty() || count <= 1) {
      subWriteLog(ctx, "MSG : No env variable used for " + expand::LogText(text));
      return true;
    }
    subWriteLog(ctx, "MSG : In fncSplitEnvVariables, expanding string, " + expand::LogText(text));

    // Signs pair from the left, so names sit at the odd positions; the text after an odd
    // last sign is taken as a name too. Blank segments make no token.
    std::vector<std::string> names;
    {
      const std::vector<std::string> segments = SplitAtPercent(text);
      for (std::size_t pos = 1; pos < segments.size(); pos += 2) {
        if (text::Trim(segments[pos]).empty()) continue;
        names.push_back(segments[pos]);
        subWriteLog(ctx, "MSG : Enironmental variable [" + std::to_string(names.size()) +
                             "]=" + segments[pos]);
      }
    }

    // Names whose token is known to be absent from the text as it stands: a repeated name
    // is still resolved and logged, but its replacement need not scan the text again.
    std::set<std::string> absent;
    for (const std::string& name : names) {
      std::string value;
      if (!fncExpandEvnVariable(ctx, name, value, errorText)) return false;
      if (!absent.count(name)) {
        const std::string token = "%" + name + "%";
        std::string replaced = text::ReplaceAll(text, token, value);
        if (replaced != text) {
          absent.clear();
          text.swap(replaced);
        }
        if (text.find(token) == std::string::npos) absent.insert(name);
      }
      subWriteLog(ctx, "MSG : Expanded variable :: " + expand::LogText(text));
      result = true;
    }

    subWriteLog(ctx, "MSG : Expanded value :: " + expand::LogText(text));
    if (text::Trim(text).empty()) {
      result = false;
      if (text::Trim(errorText).empty()) errorText = "Env Varibale value is blank";
    }
    return result;
  } catch (...) {
    subWriteLog(ctx, "ERR : fncSplitEnvVariables, " + DescriptionOfCurrentFailure());
  }
  return result;
}
