// Where the built qEnv writes: run in a fresh tree whose home, temporary and current
// folders are inside it, it creates or changes nothing but its own folder's files and the
// agent's log folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "e2e/agent_install.h"
#include "support/scoped_variables.h"

namespace fs = std::filesystem;

namespace {

struct Seen {
  std::uintmax_t size = 0;
  fs::file_time_type written;
  bool operator==(const Seen&) const = default;
};

std::map<fs::path, Seen> Snapshot(const fs::path& root) {
  std::map<fs::path, Seen> seen;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    Seen s;
    s.written = entry.last_write_time();
    if (entry.is_regular_file()) s.size = entry.file_size();
    seen[fs::relative(entry.path(), root)] = s;
  }
  return seen;
}

bool Under(const fs::path& path, const fs::path& folder) {
  const auto [end, at] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
  return end == folder.end();
}

// What changed in the tree between two snapshots, outside the places a run may write: its
// own folder, the agent's log folders and the store's own companion files (SQLite's
// shared-memory index and log beside the store, which every reader of the store makes).
std::vector<fs::path> WrittenOutside(const AgentInstall& agent,
                                     const std::map<fs::path, Seen>& earlier,
                                     const std::map<fs::path, Seen>& later) {
  const fs::path root = agent.Root();
  const fs::path bin = fs::relative(agent.BinDir(), root);
  const fs::path agentFolder = fs::relative(agent.InstallDir(), root);
  const std::string store = agent.StorePath().filename().string();
  const std::vector<fs::path> allowed = {bin, agentFolder / "ApplicationLog",
                                         agentFolder / "RTKPostLogs", store + "-shm",
                                         store + "-wal"};
  std::vector<fs::path> outside;
  for (const auto& [path, seen] : later) {
    const auto was = earlier.find(path);
    if (was != earlier.end() && was->second == seen) continue;
    // A folder that holds a new entry shows a new time as well.
    if (path == agentFolder || path == bin) continue;
    if (std::none_of(allowed.begin(), allowed.end(),
                     [&](const fs::path& folder) { return Under(path, folder); }))
      outside.push_back(path);
  }
  for (const auto& [path, seen] : earlier)
    if (!later.count(path)) outside.push_back(path);
  return outside;
}

TEST(FileFootprint, WritesOnlyItsOwnFolderAndTheLogFolders) {
  AgentInstall agent;
  const fs::path root = agent.Root();
  for (const char* folder : {"home", "tmp", "cwd"}) fs::create_directories(root / folder);
  ScopedVariables env{{"HOME", (root / "home").string()},
                      {"TMPDIR", (root / "tmp").string()},
                      {"TEMP", (root / "tmp").string()}};
  const fs::path before = fs::current_path();
  fs::current_path(root / "cwd");

  auto earlier = Snapshot(root);
  // Every kind of source: the environment, the clock, the registry, the console lookup of
  // the address, the identity, an unknown name, a text without tokens.
  for (const char* args :
       {" %APPDATA%%TEMPDIR%%PROFILESDIR%%SHELLCACHE%%USERNAME%",
        " %IPADDRESS%%OS%%OSTYPE%%DOMAINNAME%%COMPUTERNAME%",
        " %DATE_YYYYMMDD%%TIME%%QARNINSTALLPATH%%SYSTEMDIRECTORY%", " %NOSUCHNAME%", " plain text"})
    agent.Run(args);
  auto later = Snapshot(root);
  EXPECT_TRUE(agent.Result().has_value());
  EXPECT_EQ(agent.LogFiles().empty(), false);
  EXPECT_EQ(WrittenOutside(agent, earlier, later), std::vector<fs::path>());

  // A run that the start-up's checks end.
  agent.Seed({{"Memberid", "0"}});
  earlier = Snapshot(root);
  agent.Run(" %DAY%");
  later = Snapshot(root);
  EXPECT_EQ(WrittenOutside(agent, earlier, later), std::vector<fs::path>());

  fs::current_path(before);
  for (const char* folder : {"home", "tmp", "cwd"}) EXPECT_TRUE(fs::is_empty(root / folder));
}

}  // namespace
