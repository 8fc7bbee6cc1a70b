#include "fakes/in_order.h"

testing::AssertionResult InOrder(const std::vector<std::string>& lines,
                                 const std::vector<std::string>& wanted) {
  std::size_t at = 0;
  for (const std::string& w : wanted) {
    while (at < lines.size() && lines[at] != w) ++at;
    if (at == lines.size()) {
      auto failure = testing::AssertionFailure()
                     << "missing or out of order: \"" << w << "\"\nlines:";
      for (const auto& l : lines) failure << "\n  " << l;
      return failure;
    }
    ++at;
  }
  return testing::AssertionSuccess();
}
