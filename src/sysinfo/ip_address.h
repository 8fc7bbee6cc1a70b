#pragma once
// clsIPAddress: finds the machine's IP address and leaves it in ctx.gstrIPAddress: the
// host-name lookup first, then ipconfig's output, then NBTSTAT's, each only while the
// ones before found nothing.
#include <cstdint>
#include <string>
#include <vector>

class RunContext;

class clsIPAddress {
 public:
  explicit clsIPAddress(RunContext& ctx) : ctx_(ctx) {}

  void SubGetIPFromAPI();
  void SubGetIPFromIPConfig();
  void SubGetIPFromNbtStat();
  void subGetData();

  // How long a console command may run before its output is read as it stands.
  static constexpr std::uint32_t kCommandTimeoutMs = 10000;

 private:
  std::string fncGetMachineName();
  // Where the console commands' scratch files go: the program's folder and "IPData.".
  std::string ScratchStem();
  // Runs command with its output in a scratch file of this run's own (IPData.<random>.txt,
  // made empty and exclusively beforehand, removed once read); lines receives the output.
  // False (and logged) when the command did not start or left no file.
  bool RunToScratch(const std::string& command, std::vector<std::string>& lines);

  RunContext& ctx_;
};
