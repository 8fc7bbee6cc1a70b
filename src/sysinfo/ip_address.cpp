#include "sysinfo/ip_address.h"

#include <exception>
#include <memory>

#include "main/log_writer.h"
#include "main/run_context.h"
#include "main/windows_calls.h"
#include "platform/files.h"
#include "platform/net.h"
#include "platform/process.h"
#include "platform/system.h"
#include "sysinfo/ip_text.h"
#include "text/text_util.h"

namespace {
constexpr std::uint16_t kSocketsVersion = 0x0010;
constexpr std::size_t kShownOfOutput = 200;

// The first line of a command's output that holds more than blanks: what a lookup that
// took no address shows of the output, so that the log tells a command that is missing or
// failed ("ipconfig: not found") from one that listed nothing.
void KeepFirstText(const std::string& line, std::string& first) {
  if (first.empty() && line.find_first_not_of(" \t\r") != std::string::npos) first = line;
}

std::string NothingFoundLine(const std::string& command, const std::string& first) {
  if (first.empty()) return "MSG : " + command + " gave no address, it wrote nothing";
  std::string shown = first.substr(0, kShownOfOutput);
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20) c = '?';
  return "MSG : " + command + " gave no address, it wrote: " + shown;
}
}  // namespace

std::string clsIPAddress::fncGetMachineName() {
  char buffer[32] = {};
  std::uint32_t size = sizeof buffer;
  ctx_.platform.system.GetComputerName(buffer, size);
  std::string name(buffer, size < sizeof buffer ? size : sizeof buffer);
  // A failed call leaves the buffer as it was: no NUL filler reaches the lookup or the log.
  name = name.substr(0, name.find('\0'));
  subWriteLog(ctx_, "MSG : Machine Name :: " + name);
  return name;
}

std::string clsIPAddress::ScratchPath() {
  std::string folder = fncGetShortPathName(ctx_, ctx_.platform.process.ExecutableFolder());
  if (folder.empty() || folder.back() != kPathSep[0]) folder += kPathSep;
  return folder + "IPData.txt";
}

bool clsIPAddress::RunToScratch(const std::string& command, const std::string& scratch) {
  Process& process = ctx_.platform.process;
  const std::string line = process.RedirectedCommandLine(command, scratch);
  subWriteLog(ctx_, "MSG : Executing shell for " + line);
  // Waits for the command to end rather than a fixed time; one that runs over is read as
  // it stands.
  const std::uint32_t taskId =
      process.RunHidden(process.CommandInterpreter(), line, kCommandTimeoutMs);
  if (taskId == 0) {
    subWriteLog(ctx_, "ERR : Failed to execute " + line);
    return false;
  }
  if (!ctx_.platform.files.FileExists(scratch)) {
    subWriteLog(ctx_, "ERR : Failed to create " + scratch);
    return false;
  }
  return true;
}

void clsIPAddress::SubGetIPFromAPI() {
  try {
    subWriteLog(ctx_, "MSG : Executing procedure :: SubGetIPFromAPI");
    Net& net = ctx_.platform.net;
    net.Startup(kSocketsVersion);
    HostRecord host;
    std::string address;
    if (net.GetHostByName(fncGetMachineName(), host) && host.addressLength >= 4 &&
        !host.addresses.empty() && host.addresses.front().size() >= 4) {
      const std::string& bytes = host.addresses.front();
      for (int i = 0; i < 4; ++i) {
        if (i) address += '.';
        address += std::to_string(static_cast<unsigned char>(bytes[i]));
      }
    }
    ctx_.gstrIPAddress = address;
    if (text::Trim(ctx_.gstrIPAddress) == "127.0.0.1") ctx_.gstrIPAddress.clear();
    net.Cleanup();
    subWriteLog(ctx_, "MSG : API IP :: " + ctx_.gstrIPAddress);
  } catch (const std::exception& e) {
    subWriteLog(ctx_, std::string("ERR : SubGetIPFromAPI, ") + e.what());
  }
}

void clsIPAddress::SubGetIPFromIPConfig() {
  try {
    subWriteLog(ctx_, "MSG : Executing procedure :: SubGetIPFromIPConfig");
    const std::string scratch = ScratchPath();
    ctx_.gstrIPAddress.clear();
    if (!RunToScratch("ipconfig", scratch)) return;
    auto stream = ctx_.platform.files.OpenTextFile(scratch, IOMode::ForReading, false);
    bool found = false;
    std::string first;
    while (!stream->AtEndOfStream()) {
      std::string address;
      const std::string line = stream->ReadLine();
      KeepFirstText(line, first);
      if (!IpConfigLineAddress(line, address)) continue;
      found = true;
      const std::string joined =
          text::Trim(ctx_.gstrIPAddress).empty() ? address : ctx_.gstrIPAddress + "," + address;
      ctx_.gstrIPAddress = joined;
      subWriteLog(ctx_, "MSG : IPConfig :: " + ctx_.gstrIPAddress);
      if (text::Trim(ctx_.gstrIPAddress) == "127.0.0.1") ctx_.gstrIPAddress.clear();
    }
    if (!found) subWriteLog(ctx_, NothingFoundLine("ipconfig", first));
  } catch (const std::exception& e) {
    subWriteLog(ctx_, std::string("ERR : SubGetIPFromIPConfig, ") + e.what());
  }
}

void clsIPAddress::SubGetIPFromNbtStat() {
  try {
    subWriteLog(ctx_, "MSG : Executing procedure :: SubGetIPFromNbtStat");
    const std::string scratch = ScratchPath();
    if (!RunToScratch("NBTSTAT -A", scratch)) return;
    auto stream = ctx_.platform.files.OpenTextFile(scratch, IOMode::ForReading, false);
    bool found = false;
    std::string first;
    while (!stream->AtEndOfStream()) {
      std::string address;
      const std::string line = stream->ReadLine();
      KeepFirstText(line, first);
      if (!NbtStatLineAddress(line, address)) continue;
      found = true;
      ctx_.gstrIPAddress = address;
      subWriteLog(ctx_, "MSG : NBTSTAT::" + ctx_.gstrIPAddress);
    }
    if (!found) subWriteLog(ctx_, NothingFoundLine("NBTSTAT -A", first));
  } catch (const std::exception& e) {
    subWriteLog(ctx_, std::string("ERR : SubGetIPFromNbtStat, ") + e.what());
  }
}

void clsIPAddress::subGetData() {
  try {
    SubGetIPFromAPI();
    if (text::Trim(ctx_.gstrIPAddress).empty()) SubGetIPFromIPConfig();
    if (text::Trim(ctx_.gstrIPAddress).empty()) SubGetIPFromNbtStat();
  } catch (const std::exception& e) {
    subWriteLog(ctx_, std::string("ERR : subGetData, ") + e.what());
  }
}
