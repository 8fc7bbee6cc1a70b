// The token splitter on fakes, any bytes as the text: no crash or hang, the same outcome
// on two fresh machines, and a text with fewer than two "%" signs left as it is.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "expand/token_splitter.h"
#include "fakes/fake_platform.h"
#include "support/agent_machine.h"
#include "support/check.h"

namespace {
struct Outcome {
  bool result;
  std::string text;
  std::string error;
  std::vector<std::string> log;
};

Outcome Expand(const std::string& input) {
  FakeRun run;
  SeedAgentMachine(run);
  Outcome o{false, input, "stale", {}};
  o.result = fncSplitEnvVariables(run.ctx, o.text, o.error);
  o.log = run.LogMessages();
  return o;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const Outcome first = Expand(input);
  const Outcome second = Expand(input);
  FUZZ_CHECK(first.result == second.result && first.text == second.text &&
             first.error == second.error && first.log == second.log);

  std::size_t signs = 0;
  for (char c : input) signs += c == '%';
  if (signs < 2) FUZZ_CHECK(first.result && first.text == input && first.error.empty());
  return 0;
}
