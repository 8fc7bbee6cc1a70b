#include "sysinfo/ip_address.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_platform.h"
#include "fakes/in_order.h"

namespace {

// The n-th scratch file of a test (the fake file system numbers its "random" names); the
// core joins the folder and the file name with this build's separator.
std::string Scratch(int n, const std::string& folder = "C:\\Agent\\bin") {
  const std::string number = std::to_string(n);
  return folder + kPathSep + "IPData." + std::string(12 - number.size(), '0') + number + ".txt";
}
std::string Line(const char* command, int n, const std::string& folder = "C:\\Agent\\bin") {
  return std::string("C:\\WINDOWS\\system32\\cmd.exe /c ") + command + " >\"" + Scratch(n, folder) +
         "\"";
}
const std::string kIpConfigLine = Line("ipconfig", 1);
const std::string kNbtStatLine = Line("NBTSTAT -A", 2);

HostRecord Host(std::string bytes, std::int16_t length = 4) {
  HostRecord r;
  r.addressLength = length;
  r.addresses.push_back(std::move(bytes));
  return r;
}

class IpAddress : public ::testing::Test {
 protected:
  void SetUp() override {
    run.fake.files.folders.insert("C:\\Agent\\bin");
    run.fake.process.onRun = [this](const std::string&, const std::string& line) {
      const bool nbt = line.find("NBTSTAT") != std::string::npos;
      const std::string* out = nbt ? &nbtstat : &ipconfig;
      const std::size_t open = line.rfind(">\"");
      const std::string path = line.substr(open + 2, line.size() - open - 3);
      // The run made the file empty before the command; this command removes it.
      if (out->empty() && !writesEmptyFile) {
        run.fake.files.files.erase(path);
        return;
      }
      ASSERT_EQ(run.fake.files.Content(path), "") << "made empty before the command";
      run.fake.files.files[path].content = *out;
    };
  }
  void Discover() {
    clsIPAddress probe(run.ctx);
    probe.subGetData();
  }
  std::vector<std::string> Commands() {
    std::vector<std::string> lines;
    for (const auto& s : run.fake.process.started) lines.push_back(s.commandLine);
    return lines;
  }
  FakeRun run;
  std::string ipconfig;
  std::string nbtstat;
  bool writesEmptyFile = true;
};

TEST_F(IpAddress, HostLookupAnswerEndsTheDiscovery) {
  run.fake.net.hosts["WS-0042"] = Host(std::string("\xC0\xA8\x01\x0A", 4));
  Discover();
  EXPECT_EQ(run.ctx.gstrIPAddress, "192.168.1.10");
  EXPECT_TRUE(run.fake.process.started.empty());
  EXPECT_EQ(run.fake.net.startups, 1);
  EXPECT_EQ(run.fake.net.cleanups, 1);
  EXPECT_EQ(
      run.LogMessages(),
      (std::vector<std::string>{"MSG : Executing procedure :: SubGetIPFromAPI",
                                "MSG : Machine Name :: WS-0042", "MSG : API IP :: 192.168.1.10"}));
}

TEST_F(IpAddress, UnusableHostRecordsSendTheDiscoveryToIpconfig) {
  const std::vector<HostRecord> records = {
      Host(std::string("\x7F\x00\x00\x01", 4)),  // loopback
      Host(std::string("\x0A\x00", 2), 2),       // too short an address
      Host(std::string("\x0A\x00\x00\x01", 4), 2),
      HostRecord{4, {}},                // no first entry
      Host(std::string("\x0A", 1), 4),  // an entry shorter than it claims
  };
  ipconfig = "   IPv4 Address. . . : 10.0.0.5\r\n";
  for (const HostRecord& record : records) {
    run.fake.net.hosts["WS-0042"] = record;
    run.fake.process.started.clear();
    Discover();
    EXPECT_EQ(run.ctx.gstrIPAddress, "10.0.0.5");
    EXPECT_EQ(Commands(), std::vector<std::string>{Line("ipconfig", run.fake.files.namesTried)});
  }
}

TEST_F(IpAddress, IpconfigRunsTheSystemInterpreterAndWaitsForIt) {
  ipconfig =
      "Windows IP Configuration\r\n\r\n"
      "        IP Address. . . . . . . . . . . . : 192.168.1.10\r\n"
      "        Subnet Mask . . . . . . . . . . . : 255.255.255.0\r\n"
      "        IP Address. . . . . . . . . . . . : 10.0.0.5\r\n";
  Discover();
  EXPECT_EQ(run.ctx.gstrIPAddress, "192.168.1.10,10.0.0.5");
  ASSERT_EQ(run.fake.process.started.size(), 1u);
  const auto& started = run.fake.process.started[0];
  EXPECT_EQ(started.program, "C:\\WINDOWS\\system32\\cmd.exe");
  EXPECT_EQ(started.timeoutMs, clsIPAddress::kCommandTimeoutMs);
  EXPECT_EQ(run.fake.process.sleptMs, 0u);
  EXPECT_FALSE(run.fake.files.FileExists(Scratch(1))) << "the scratch file is removed once read";
  const auto log = run.LogMessages();
  const std::vector<std::string> tail(log.begin() + 3, log.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"MSG : Executing procedure :: SubGetIPFromIPConfig",
                                            "MSG : Executing shell for " + kIpConfigLine,
                                            "MSG : IPConfig :: 192.168.1.10",
                                            "MSG : IPConfig :: 192.168.1.10,10.0.0.5"}));
}

TEST_F(IpAddress, LoopbackIsDroppedOnlyWhileItIsTheWholeList) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"IP Address: 127.0.0.1\nIP Address: 192.168.1.10\n", "192.168.1.10"},
      {"IP Address: 192.168.1.10\nIP Address: 127.0.0.1\n", "192.168.1.10,127.0.0.1"},
      // Wine lists the loopback adapter last, Vista style.
      {"    IPv4 address. . . : 192.0.2.2\r\n    IPv4 address. . . : 127.0.0.1\r\n",
       "192.0.2.2,127.0.0.1"},
  };
  for (const auto& [output, expected] : cases) {
    ipconfig = output;
    Discover();
    EXPECT_EQ(run.ctx.gstrIPAddress, expected);
  }
}

TEST_F(IpAddress, NbtstatRunsWhenIpconfigFindsNothingAndItsLastAddressStands) {
  ipconfig = "IP Address: 127.0.0.1\r\n";
  nbtstat =
      "    Node IpAddress: [10.1.1.1] Scope Id: []\r\n"
      "    Node IpAddress: [10.2.2.2 Scope Id: []\r\n"  // no "]" after the address: skipped
      "    Node IpAddress: [10.3.3.3] Scope Id: []\r\n";
  Discover();
  EXPECT_EQ(run.ctx.gstrIPAddress, "10.3.3.3");
  EXPECT_EQ(Commands(), (std::vector<std::string>{kIpConfigLine, kNbtStatLine}));
  const auto log = run.LogMessages();
  EXPECT_EQ(std::count(log.begin(), log.end(), "MSG : NBTSTAT::10.1.1.1"), 1);
  EXPECT_EQ(log.back(), "MSG : NBTSTAT::10.3.3.3");
}

TEST_F(IpAddress, NothingFoundIsAnEmptyAddress) {
  ipconfig = std::string(1 << 20, '\x01') + "\r\nIP\r\nAddress : 1.2.3.4\r\n";
  nbtstat = "'NBTSTAT' is not recognized as an internal or external command\r\n";
  run.ctx.gstrIPAddress = "stale";
  Discover();
  EXPECT_EQ(run.ctx.gstrIPAddress, "");
  EXPECT_EQ(run.fake.process.started.size(), 2u);
}

// A lookup that takes no address says so, with the opening of what the command wrote: the
// shell's "not found" for a missing command, nothing at all, or bytes made printable.
TEST_F(IpAddress, LookupThatFindsNothingLogsWhatTheCommandWrote) {
  ipconfig = "\r\n   \r\n/bin/sh: 1: ipconfig: not found\r\nsecond line\r\n";
  nbtstat = std::string("\x01\x1b[0m") + std::string(300, 'z') + "\r\n";
  Discover();
  auto log = run.LogMessages();
  EXPECT_TRUE(
      InOrder(log, {"MSG : Executing shell for " + kIpConfigLine,
                    "MSG : ipconfig gave no address, it wrote: /bin/sh: 1: ipconfig: not found",
                    "MSG : Executing shell for " + kNbtStatLine,
                    "MSG : NBTSTAT -A gave no address, it wrote: ??[0m" + std::string(195, 'z')}));

  nbtstat.clear();
  Discover();
  log = run.LogMessages();
  EXPECT_EQ(log.back(), "MSG : NBTSTAT -A gave no address, it wrote nothing");
}

TEST_F(IpAddress, LookupThatTakesAnAddressAddsNoSuchLine) {
  ipconfig = "IPv4 Address. . . : 127.0.0.1\r\n";  // taken, then dropped as the whole list
  nbtstat = "Node IpAddress: [10.1.1.1] Scope Id: []\r\n";
  Discover();
  for (const std::string& line : run.LogMessages())
    EXPECT_EQ(line.find("gave no address"), std::string::npos) << line;
}

TEST_F(IpAddress, CommandThatDoesNotStartOrWritesNoFileIsLogged) {
  run.fake.process.startSucceeds = false;
  Discover();
  EXPECT_EQ(run.ctx.gstrIPAddress, "");
  auto log = run.LogMessages();
  EXPECT_EQ(std::count(log.begin(), log.end(), "ERR : Failed to execute " + Line("ipconfig", 1)),
            1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "ERR : Failed to execute " + Line("NBTSTAT -A", 2)),
            1);

  run.fake.process.startSucceeds = true;
  writesEmptyFile = false;
  Discover();
  log = run.LogMessages();
  EXPECT_EQ(std::count(log.begin(), log.end(), "ERR : Failed to create " + Scratch(3)), 1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "ERR : Failed to create " + Scratch(4)), 1);
}

TEST_F(IpAddress, ScratchPathIsQuotedWhateverTheFolderHolds) {
  run.fake.process.folder = "C:\\p & q ^ r";
  run.fake.files.folders.insert("C:\\p & q ^ r");
  run.fake.process.onRun = nullptr;
  Discover();
  EXPECT_EQ(Commands(), (std::vector<std::string>{Line("ipconfig", 1, "C:\\p & q ^ r"),
                                                  Line("NBTSTAT -A", 2, "C:\\p & q ^ r")}));
}

}  // namespace
