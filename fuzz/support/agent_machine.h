#pragma once
// A machine on fakes with an installed agent, for the targets that expand text: the
// variables the catalogue reads are set, so that a token reaches past its first lookup.
#include <string>

#include "fakes/fake_platform.h"

inline void SeedAgentMachine(FakeRun& run) {
  FakePlatform& f = run.fake;
  f.files.folders = {"C:\\", "C:\\Agent", "C:\\Agent\\bin"};
  f.environment.Set("windir", "C:\\WINDOWS");
  f.environment.Set("SystemRoot", "C:\\WINDOWS");
  f.environment.Set("SystemDrive", "C:");
  f.environment.Set("TEMP", "C:\\Temp");
  f.environment.Set("USERDOMAIN", "CORP");
  f.environment.Set("ProgramFiles", "C:\\Program Files");
  f.system.computerName = "HOST1";
  f.system.userName = "alice";
  f.system.profileDirectory = "C:\\Users\\alice";
  const std::string key = "HKLM\\SOFTWARE\\DORAZA";
  f.registry.SetString(key, "InstallationPath", "C:\\Agent");
  f.registry.SetString(key, "RegID", "1234");
  f.registry.SetString(key, "Memberid", "42");
  f.registry.SetString(key, "SITEID", "7");
  f.registry.SetString(key, "TYPE", "SERVER");
  run.ctx.AgentInstallPath = "C:\\Agent\\";
  run.ctx.AgentRegId = "1234";
  run.ctx.AgentMemberId = "42";
  run.ctx.AgentSiteId = "7";
  run.ctx.AgentType = "SERVER";
}
