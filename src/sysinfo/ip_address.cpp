#include "sysinfo/ip_address.h"

#include <memory>
#include <vector>

#include "platform/files.h"
#include "platform/net.h"
#include "platform/process.h"
#include "platform/system.h"
#include "run/failure_description.h"
#include "run/log_writer.h"
#include "run/run_context.h"
#include "run/windows_calls.h"
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

std::string clsIPAddress::ScratchStem() {
  std::string folder = fncGetShortPathName(ctx_, ctx_.platform.process.ExecutableFolder());
  if (folder.empty() || folder.back() != kPathSep[0]) folder += kPathSep;
  return folder + "IPData.";
}

namespace {
// Removes the scratch file however the lookup ends; one that cannot be removed stays.
class ScratchRemoval {
 public:
  ScratchRemoval(Files& files, const std::string& path) : files_(files), path_(path) {}
  ~ScratchRemoval() {
    try {
      if (files_.FileExists(path_)) files_.DeleteFile(path_);
    } catch (...) {
    }
  }
  ScratchRemoval(const ScratchRemoval&) = delete;
  ScratchRemoval& operator=(const ScratchRemoval&) = delete;

 private:
  Files& files_;
  const std::string& path_;  // filled in once the file is made
};
}  // namespace

bool clsIPAddress::RunToScratch(const std::string& command, std::vector<std::string>& lines) {
  Files& files = ctx_.platform.files;
  Process& process = ctx_.platform.process;
  // A file of this run's own, made before the command writes into it: runs at the same
  // moment never read each other's output, and nothing planted at a known name is written.
  // It stays open until it has been read: on Windows nobody can rename it away and put
  // something else at its name meanwhile. It is removed after it is closed.
  std::string scratch;
  const ScratchRemoval removal(files, scratch);
  const std::unique_ptr<TextStream> made =
      files.CreateUniqueTextFile(ScratchStem(), ".txt", scratch);
  const std::string line = process.RedirectedCommandLine(command, scratch);
  subWriteLog(ctx_, "MSG : Executing shell for " + line);
  // Waits for the command to end rather than a fixed time; one that runs over is read as
  // it stands.
  const std::uint32_t taskId = process.RunRedirected(command, scratch, kCommandTimeoutMs);
  if (taskId == 0) {
    subWriteLog(ctx_, "ERR : Failed to execute " + line);
    return false;
  }
  if (!files.FileExists(scratch)) {
    subWriteLog(ctx_, "ERR : Failed to create " + scratch);
    return false;
  }
  auto stream = files.OpenTextFile(scratch, IOMode::ForReading, false);
  while (!stream->AtEndOfStream()) lines.push_back(stream->ReadLine());
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
  } catch (...) {
    subWriteLog(ctx_, "ERR : SubGetIPFromAPI, " + DescriptionOfCurrentFailure());
  }
}

void clsIPAddress::SubGetIPFromIPConfig() {
  try {
    subWriteLog(ctx_, "MSG : Executing procedure :: SubGetIPFromIPConfig");
    ctx_.gstrIPAddress.clear();
    std::vector<std::string> lines;
    if (!RunToScratch("ipconfig", lines)) return;
    bool found = false;
    std::string first;
    for (const std::string& line : lines) {
      std::string address;
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
  } catch (...) {
    subWriteLog(ctx_, "ERR : SubGetIPFromIPConfig, " + DescriptionOfCurrentFailure());
  }
}

void clsIPAddress::SubGetIPFromNbtStat() {
  try {
    subWriteLog(ctx_, "MSG : Executing procedure :: SubGetIPFromNbtStat");
    std::vector<std::string> lines;
    if (!RunToScratch("NBTSTAT -A", lines)) return;
    bool found = false;
    std::string first;
    for (const std::string& line : lines) {
      std::string address;
      KeepFirstText(line, first);
      if (!NbtStatLineAddress(line, address)) continue;
      found = true;
      ctx_.gstrIPAddress = address;
      subWriteLog(ctx_, "MSG : NBTSTAT::" + ctx_.gstrIPAddress);
    }
    if (!found) subWriteLog(ctx_, NothingFoundLine("NBTSTAT -A", first));
  } catch (...) {
    subWriteLog(ctx_, "ERR : SubGetIPFromNbtStat, " + DescriptionOfCurrentFailure());
  }
}

void clsIPAddress::subGetData() {
  try {
    SubGetIPFromAPI();
    if (text::Trim(ctx_.gstrIPAddress).empty()) SubGetIPFromIPConfig();
    if (text::Trim(ctx_.gstrIPAddress).empty()) SubGetIPFromNbtStat();
  } catch (...) {
    subWriteLog(ctx_, "ERR : subGetData, " + DescriptionOfCurrentFailure());
  }
}
