#include "agent_install.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <random>

#include "platform/files.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/service_factories.h"

namespace fs = std::filesystem;

namespace {

// The build folder as this test executable can open it: under Wine a Unix path is the
// same path on drive Z: with backslashes.
fs::path BinaryDir() {
  std::string dir = QENV_BINARY_DIR;
  if (std::string(kPathSep) == "\\" && !dir.empty() && dir[0] == '/') {
    for (char& c : dir)
      if (c == '/') c = '\\';
    dir = "Z:" + dir;
  }
  return fs::path(dir);
}

// putenv keeps the text it is given: each call's text stays for the rest of the process;
// the programs it starts inherit the variable.
void SetVariable(const std::string& name, const std::string& value) {
  static auto* kept = new std::deque<std::string>;
  kept->push_back(name + "=" + value);
  ASSERT_EQ(putenv(kept->back().data()), 0);
}

// "MM/DD/YYYY HH:NN:SS"
bool IsStamp(const std::string& s) {
  static const std::string kShape = "99/99/9999 99:99:99";
  if (s.size() != kShape.size()) return false;
  for (std::size_t i = 0; i < s.size(); ++i)
    if (kShape[i] == '9' ? (s[i] < '0' || s[i] > '9') : s[i] != kShape[i]) return false;
  return true;
}

const char* const kAgentKey = "SOFTWARE\\DORAZA";

}  // namespace

AgentInstall::AgentInstall(const std::string& binFolder) : process_(CreateProcess(0, nullptr)) {
  // A new folder whose name is its own short name ("q" and seven hex digits): Wine makes
  // the short name of a longer one from its first letters and a 15-bit hash, so that two
  // such folders (earlier ones a straggling process still holds stay) can share one, and a
  // run's short paths then lead into the other.
  do {
    char name[16];
    std::snprintf(name, sizeof name, "q%07x", std::random_device{}() & 0xFFFFFFFu);
    root_ = fs::temp_directory_path() / name;
  } while (!fs::create_directory(root_));
  bin_ = root_ / binFolder;
  install_ = root_ / "agent";
  fs::create_directories(bin_);
  fs::create_directories(install_);
  exe_ = bin_ / (std::string("qEnv") + kExeSuffix);
  fs::copy_file(BinaryDir() / "bin" / (std::string("qEnv") + kExeSuffix), exe_);

  SetVariable("QENV_REGISTRY", StorePath().string());
  SetVariable("PROGRAMFILES", kProgramFiles);
  // A 32-bit program on 64-bit Windows gets its ProgramFiles from ProgramFiles(x86).
  SetVariable("ProgramFiles(x86)", kProgramFiles);
  Seed({{"InstallationPath", install_.string()},
        {"RegID", "1234"},
        {"Memberid", "42"},
        {"SITEID", "7"},
        {"TYPE", "SERVER"}});
}

AgentInstall::~AgentInstall() {
  std::error_code ec;
  for (const auto& entry : fs::recursive_directory_iterator(root_, ec))
    fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ec);
  fs::remove_all(root_, ec);
}

void AgentInstall::Seed(const std::map<std::string, std::optional<std::string>>& values,
                        std::uint32_t viewBits) {
  std::unique_ptr<Registry> registry = CreateRegistry();
  RegKey key = 0;
  ASSERT_EQ(registry->CreateKeyEx(reg::kLocalMachine, kAgentKey, "", 0,
                                  reg::kKeyAllAccess | viewBits, key, nullptr),
            0);
  for (const auto& [name, value] : values) {
    if (!value) {
      registry->DeleteValue(key, name);
      continue;
    }
    const std::string data = *value + '\0';
    EXPECT_EQ(registry->SetValueEx(key, name, reg::kSz,
                                   reinterpret_cast<const std::uint8_t*>(data.data()),
                                   static_cast<std::uint32_t>(data.size())),
              0)
        << name;
  }
  registry->CloseKey(key);
}

void AgentInstall::Run(const std::string& args) {
  const std::string line = "\"" + exe_.string() + "\"" + args;
  ASSERT_NE(process_->RunHidden(exe_.string(), line, 120000), 0u) << line;
}

std::optional<std::string> AgentInstall::Result() const {
  if (!fs::exists(ResultPath())) return std::nullopt;
  return ReadBytes(ResultPath());
}

void AgentInstall::WriteResult(const std::string& bytes, bool readOnly) {
  std::ofstream(ResultPath(), std::ios::binary) << bytes;
  if (readOnly)
    fs::permissions(ResultPath(),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

std::string AgentInstall::LoggedInstallDir() const {
  return install_.string() + kPathSep;
}

fs::path AgentInstall::LogFolder() const {
  return install_ / "ApplicationLog" / "qRTKLog";
}

std::vector<fs::path> AgentInstall::LogFiles() const {
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(LogFolder(), ec)) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::string> AgentInstall::AllLogMessages() const {
  std::vector<std::string> all;
  for (const auto& file : LogFiles()) {
    const auto lines = LogMessages(file);
    all.insert(all.end(), lines.begin(), lines.end());
  }
  return all;
}

std::vector<std::string> AgentInstall::LogMessages(const fs::path& file) const {
  const std::string content = ReadBytes(file);
  std::vector<std::string> messages;
  std::size_t pos = 0;
  while (pos < content.size()) {
    const std::size_t end = content.find("\r\n", pos);
    if (end == std::string::npos) {
      ADD_FAILURE() << "line without CR LF: " << content.substr(pos);
      break;
    }
    const std::string line = content.substr(pos, end - pos);
    if (IsStamp(line.substr(0, 19)) && line.size() >= 20 && line[19] == '\t')
      messages.push_back(line.substr(20));
    else
      ADD_FAILURE() << "not a log line: " << line;
    pos = end + 2;
  }
  return messages;
}

fs::path BuildFolder() {
  return BinaryDir();
}
