// The resolver on fakes, any bytes as the variable name: no crash, the same outcome on two
// fresh machines, and the name's case and surrounding spaces do not matter.
#include <cstddef>
#include <cstdint>
#include <string>

#include "expand/resolver.h"
#include "fakes/fake_platform.h"
#include "support/agent_machine.h"
#include "support/check.h"
#include "text/text_util.h"

namespace {
struct Outcome {
  bool result;
  std::string value;
  std::string error;
};

Outcome Resolve(const std::string& name) {
  FakeRun run;
  SeedAgentMachine(run);
  Outcome o{false, "", ""};
  o.result = fncExpandEvnVariable(run.ctx, name, o.value, o.error);
  return o;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string name(reinterpret_cast<const char*>(data), size);
  const Outcome first = Resolve(name);
  const Outcome second = Resolve(name);
  FUZZ_CHECK(first.result == second.result && first.value == second.value &&
             first.error == second.error);

  const Outcome folded = Resolve("  " + text::LowerAscii(name) + " ");
  FUZZ_CHECK(folded.result == first.result && folded.value == first.value);
  return 0;
}
