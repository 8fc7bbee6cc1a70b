// The ipconfig and NBTSTAT readers, any bytes as the scratch file the console command
// leaves: each line's rule on its own, then the whole lookups on fakes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fakes/fake_platform.h"
#include "support/check.h"
#include "sysinfo/ip_address.h"
#include "sysinfo/ip_text.h"
#include "text/text_util.h"

namespace {
// The scratch file the command line names: the fake console writes input there.
void PlayCommand(FakeRun& run, const std::string& input) {
  run.fake.process.onRun = [&run, input](const std::string&, const std::string& line) {
    const std::size_t open = line.rfind(">\"");
    FUZZ_CHECK(open != std::string::npos && line.back() == '"');
    const std::string path = line.substr(open + 2, line.size() - open - 3);
    run.fake.files.files[path].content = input;
  };
}

void CheckLine(const std::string& line) {
  std::string address = "unset";
  if (IpConfigLineAddress(line, address)) {
    FUZZ_CHECK(text::ContainsNoCase(line, "IP Address") ||
               text::ContainsNoCase(line, "IPv4 Address"));
    FUZZ_CHECK(address.find(':') == std::string::npos);
    FUZZ_CHECK(address.find('\r') == std::string::npos);
  } else {
    FUZZ_CHECK(address == "unset");
  }
  address = "unset";
  if (NbtStatLineAddress(line, address)) {
    FUZZ_CHECK(text::ContainsNoCase(line, "Node IpAddress: ["));
    FUZZ_CHECK(address.find(']') == std::string::npos);
  } else {
    FUZZ_CHECK(address == "unset");
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  while (start <= input.size()) {
    std::size_t end = input.find('\n', start);
    if (end == std::string::npos) end = input.size();
    CheckLine(input.substr(start, end - start));
    start = end + 1;
  }

  {
    FakeRun run;
    PlayCommand(run, input);
    clsIPAddress(run.ctx).SubGetIPFromIPConfig();
    FUZZ_CHECK(run.ctx.gstrIPAddress.find(':') == std::string::npos);
    FUZZ_CHECK(run.ctx.gstrIPAddress.find('\r') == std::string::npos);
  }
  {
    FakeRun run;
    PlayCommand(run, input);
    clsIPAddress(run.ctx).SubGetIPFromNbtStat();
    FUZZ_CHECK(run.ctx.gstrIPAddress.find(']') == std::string::npos);
  }
  return 0;
}
