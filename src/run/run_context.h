#pragma once
// Everything a run holds process-wide, passed by reference to every procedure, so that a
// test can build one on fakes and run any procedure alone.
#include <array>
#include <memory>
#include <string>

#include "platform/platform.h"

class TextStream;
class clsRegistryAccess;

class RunContext {
 public:
  explicit RunContext(const Platform& platform);
  ~RunContext();
  RunContext(const RunContext&) = delete;
  RunContext& operator=(const RunContext&) = delete;

  Platform platform;

  // The open log file's stream; empty before the start-up creates it and after
  // subEndApplication releases it.
  std::unique_ptr<TextStream> LogStream;

  // The process-wide registry object. The context does not own it: whoever builds the
  // context (qEnvEntry, qreg's main, a test fixture) makes one and sets this pointer before
  // the first procedure runs.
  clsRegistryAccess* registryAccess = nullptr;
  clsRegistryAccess& RegistryAccess() const { return *registryAccess; }

  // The agent identity and start-up facts.
  std::string AgentInstallPath;
  std::string AgentRegId;
  std::string AgentMemberId;
  std::string AgentSiteId;
  std::string AgentType;
  std::string AppShortPath;
  std::string ExeVersion;
  std::array<std::string, 3> PreCheckFields;

  std::string gstrUserProfile;
  std::string gstrIPAddress;
};
