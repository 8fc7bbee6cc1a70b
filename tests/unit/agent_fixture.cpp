#include "agent_fixture.h"

#include "platform/registry.h"

AgentFixture::AgentFixture() {
  fake.files.folders = {"C:\\", "C:\\Agent", "C:\\Agent\\bin", "C:\\AGENT~1\\bin"};
  fake.files.files[ExePath()] = {};
  fake.files.versions[ExePath()] = "1.0.0.0";
  fake.system.shortPaths["C:\\Agent\\bin"] = "C:\\AGENT~1\\bin";
  fake.environment.Set("windir", "C:\\WINDOWS");
  SetAgentValue("InstallationPath", "C:\\Agent");
  SetAgentValue("RegID", "1234");
  SetAgentValue("Memberid", "42");
  SetAgentValue("SITEID", "7");
  SetAgentValue("TYPE", "SERVER");
}

void AgentFixture::SetAgentValue(const std::string& name, const std::string& value) {
  RegKey key = 0;
  ASSERT_EQ(fake.registry.CreateKeyEx(reg::kLocalMachine, "SOFTWARE\\DORAZA", "", 0,
                                      reg::kKeyAllAccess, key, nullptr),
            0);
  const std::string data = value + '\0';
  ASSERT_EQ(fake.registry.SetValueEx(key, name, reg::kSz,
                                     reinterpret_cast<const std::uint8_t*>(data.data()),
                                     static_cast<std::uint32_t>(data.size())),
            0);
  fake.registry.CloseKey(key);
}

void AgentFixture::DeleteAgentValue(const std::string& name) {
  RegKey key = 0;
  ASSERT_EQ(
      fake.registry.OpenKeyEx(reg::kLocalMachine, "SOFTWARE\\DORAZA", reg::kKeyAllAccess, key), 0);
  fake.registry.DeleteValue(key, name);
  fake.registry.CloseKey(key);
}

std::vector<std::string> AgentFixture::LogMessagesOf(const std::string& path) const {
  return LogMessagesIn(fake.files.Content(path));
}

std::vector<std::string> AgentFixture::FilePaths() const {
  std::vector<std::string> paths;
  for (const auto& [path, file] : fake.files.files) paths.push_back(path);
  return paths;
}
