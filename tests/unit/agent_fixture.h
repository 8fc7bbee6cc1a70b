#pragma once
// A machine on fakes with an installed agent: the identity under HKLM\SOFTWARE\DORAZA,
// the agent folder C:\Agent, and the executable C:\Agent\bin\qEnv with a version.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "fakes/fake_platform.h"
#include "fakes/in_order.h"
#include "fakes/test_context.h"
#include "platform/files.h"
#include "platform/process.h"
#include "run/run_context.h"

class AgentFixture : public testing::Test {
 protected:
  AgentFixture();

  // Writes a REG_SZ value (with its NUL, as installers do) into the agent's key.
  void SetAgentValue(const std::string& name, const std::string& value);
  void DeleteAgentValue(const std::string& name);

  // The agent folder as the run normalizes it, and the paths derived from it.
  std::string InstallDir() const { return std::string("C:\\Agent") + kPathSep; }
  std::string LogFolder() const { return InstallDir() + "ApplicationLog" + kPathSep + "qRTKLog"; }
  std::string LogPath() const { return LogFolder() + kPathSep + "qEnv_1234____12072026210509.txt"; }
  // The executable as the run finds it for its version: through the folder's short form.
  std::string ExePath() const {
    return std::string("C:\\AGENT~1\\bin") + kPathSep + "qEnv" + kExeSuffix;
  }
  std::string ResultPath() const {
    return std::string("C:\\AGENT~1\\bin") + kPathSep + "EnvironmentVar.txt";
  }

  // The messages of a log file (each line without its stamp, tab and CR LF).
  std::vector<std::string> LogMessagesOf(const std::string& path) const;
  // Every file path the fake file system holds.
  std::vector<std::string> FilePaths() const;

  FakePlatform fake;
  TestContext ctx{fake.View()};
};
