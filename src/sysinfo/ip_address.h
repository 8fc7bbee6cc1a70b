#pragma once
// clsIPAddress: finds the machine's IP address and leaves it in ctx.gstrIPAddress: the
// host-name lookup first, then ipconfig's output, then NBTSTAT's, each only while the
// ones before found nothing.
#include <cstdint>
#include <string>

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
  // The scratch file the console commands write: "IPData.txt" in the program's folder.
  std::string ScratchPath();
  // Runs command with its output in the scratch file. False (and logged) when it did not
  // start or left no file.
  bool RunToScratch(const std::string& command, const std::string& scratch);

  RunContext& ctx_;
};
