// What only the SQLite store promises: its file, its permissions, several processes on
// one file, a writer killed halfway, files that are no store.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/posix/registry_store.h"
#include "support/read_bytes.h"

namespace fs = std::filesystem;

namespace {
const std::string kTool = std::string(QENV_BINARY_DIR) + "/bin/registry_store_tool";

class SqliteStore : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("qenv-store-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder_);
    file_ = (folder_ / "registry.db").string();
  }
  void TearDown() override { fs::remove_all(folder_); }

  static long SetText(Registry& registry, RegKey key, const std::string& name,
                      const std::string& text) {
    return registry.SetValueEx(key, name, reg::kSz,
                               reinterpret_cast<const std::uint8_t*>(text.data()),
                               static_cast<std::uint32_t>(text.size()));
  }
  static std::string Text(Registry& registry, RegKey key, const std::string& name) {
    char buffer[64] = {};
    std::uint32_t size = sizeof buffer;
    if (registry.QueryValueEx(key, name, nullptr, reinterpret_cast<std::uint8_t*>(buffer), &size) !=
        0)
      return "<missing>";
    return std::string(buffer, size);
  }
  static int Run(const std::string& command) { return std::system(command.c_str()); }
  // What the tool's "read" prints, run as an unprivileged user (root reads any file).
  std::string ReadAsUser(const std::string& file, const std::string& name) {
    const std::string out = (folder_ / "read.out").string();
    const std::string unprivileged =
        "if [ \"$(id -u)\" = 0 ]; then setpriv --reuid=65534 --regid=65534 --clear-groups "
        "\"$@\"; else \"$@\"; fi";
    Run("sh -c '" + unprivileged + "' sh " + kTool + " read " + file + " " + name + " >" + out +
        " 2>&1");
    return ReadBytes(out);
  }

  fs::path folder_;
  std::string file_;
};

TEST_F(SqliteStore, ReadsNeverMakeTheFileTheFirstWriteMakesItTheOwnersAlone) {
  auto registry = posix::OpenRegistryStore(file_);
  RegKey key = 0;
  char name[16];
  std::uint32_t size = sizeof name;
  EXPECT_EQ(2, registry->OpenKeyEx(reg::kLocalMachine, "SOFTWARE\\DORAZA", reg::kKeyRead, key));
  EXPECT_EQ(2, registry->QueryValueEx(reg::kCurrentUser, "v", nullptr, nullptr, &size));
  EXPECT_EQ(259, registry->EnumKeyEx(reg::kLocalMachine, 0, name, &size));
  EXPECT_EQ(259,
            registry->EnumValue(reg::kLocalMachine, 0, name, &size, nullptr, nullptr, nullptr));
  EXPECT_EQ(2, registry->DeleteValue(reg::kCurrentUser, "v"));
  EXPECT_EQ(2, registry->DeleteKey(reg::kCurrentUser, "Software"));
  ASSERT_EQ(0, registry->OpenKeyEx(reg::kLocalMachine, "", reg::kKeyRead, key));
  registry->CloseKey(key);
  EXPECT_FALSE(fs::exists(file_));

  ASSERT_EQ(0, registry->CreateKey(reg::kLocalMachine, "SOFTWARE\\DORAZA", key));
  registry->CloseKey(key);
  ASSERT_TRUE(fs::exists(file_));
  EXPECT_EQ(fs::perms::owner_read | fs::perms::owner_write, fs::status(file_).permissions());
}

TEST_F(SqliteStore, WhatOneProcessWritesAnotherReadsAndDeletedKeysShowThrough) {
  auto writer = posix::OpenRegistryStore(file_);
  auto reader = posix::OpenRegistryStore(file_);
  RegKey written = 0, seen = 0;
  ASSERT_EQ(0, writer->CreateKey(reg::kCurrentUser, "Software\\Shared", written));
  ASSERT_EQ(0, SetText(*writer, written, "Name", "first"));
  ASSERT_EQ(0, reader->OpenKeyEx(reg::kCurrentUser, "software\\shared", reg::kKeyRead, seen));
  EXPECT_EQ("first", Text(*reader, seen, "name"));
  ASSERT_EQ(0, SetText(*writer, written, "Name", "second"));
  EXPECT_EQ("second", Text(*reader, seen, "NAME"));

  ASSERT_EQ(0, writer->DeleteKey(written, ""));
  std::uint32_t size = 0;
  EXPECT_EQ(1018, reader->QueryValueEx(seen, "Name", nullptr, nullptr, &size));
  reader->CloseKey(seen);
  writer->CloseKey(written);

  auto later = posix::OpenRegistryStore(file_);
  EXPECT_EQ(2, later->OpenKeyEx(reg::kCurrentUser, "Software\\Shared", reg::kKeyRead, seen));
  EXPECT_EQ(0, later->OpenKeyEx(reg::kCurrentUser, "Software", reg::kKeyRead, seen));
  later->CloseKey(seen);
}

TEST_F(SqliteStore, TwoProcessesWritingAtOnceBothSucceed) {
  const std::string both = "sh -c '" + kTool + " write " + file_ + " a 1000 & p=$!; " + kTool +
                           " write " + file_ + " b 1000; r=$?; wait $p || r=1; exit $r'";
  ASSERT_EQ(0, Run(both));

  auto registry = posix::OpenRegistryStore(file_);
  RegKey key = 0;
  ASSERT_EQ(0, registry->OpenKeyEx(reg::kCurrentUser, "Software\\qEnvStore", reg::kKeyRead, key));
  int found = 0;
  for (const char* prefix : {"a", "b"}) {
    for (std::uint32_t i = 0; i < 1000; ++i) {
      std::uint32_t value = ~0u, size = sizeof value;
      if (registry->QueryValueEx(key, prefix + std::to_string(i), nullptr,
                                 reinterpret_cast<std::uint8_t*>(&value), &size) == 0 &&
          value == i)
        ++found;
    }
  }
  EXPECT_EQ(2000, found);
  char name[16];
  std::uint32_t nameSize = sizeof name;
  EXPECT_EQ(0, registry->EnumValue(key, 1999, name, &nameSize, nullptr, nullptr, nullptr));
  nameSize = sizeof name;
  EXPECT_EQ(259, registry->EnumValue(key, 2000, name, &nameSize, nullptr, nullptr, nullptr));
  registry->CloseKey(key);
}

TEST_F(SqliteStore, AWriterKilledHalfwayLeavesTheEarlierValueWhole) {
  {
    auto registry = posix::OpenRegistryStore(file_);
    ASSERT_EQ(0, SetText(*registry, reg::kCurrentUser, "v", "old"));
  }
  // 137: the shell's status for a child ended by SIGKILL, not one that gave up by itself.
  ASSERT_EQ(0, Run("sh -c '" + kTool + " die " + file_ + "; test $? -eq 137'"));

  auto registry = posix::OpenRegistryStore(file_);
  EXPECT_EQ("old", Text(*registry, reg::kCurrentUser, "v"));
  EXPECT_EQ(0, SetText(*registry, reg::kCurrentUser, "v", "after")) << "no lock left behind";
  EXPECT_EQ("after", Text(*registry, reg::kCurrentUser, "v"));
}

TEST_F(SqliteStore, FilesThatAreNoStoreFailEveryCallAndStayAsTheyAre) {
  const std::string garbage(4096, 'Z');
  { std::ofstream(file_, std::ios::binary) << garbage; }
  const std::string folderAsFile = (folder_ / "folder.db").string();
  fs::create_directories(folderAsFile);
  const std::string inMissingFolder = (folder_ / "missing" / "registry.db").string();
  // Links are never followed, whether to a file or to nothing (which a write would make).
  const std::string link = (folder_ / "link.db").string(), dangling = (folder_ / "to.db").string();
  fs::create_symlink(file_, link);
  fs::create_symlink(folder_ / "nothing.db", dangling);

  struct Case {
    std::string file;
    long code;
  };
  for (const Case& c : {Case{file_, 1010}, Case{folderAsFile, 5}, Case{inMissingFolder, 3},
                        Case{link, 5}, Case{dangling, 5}}) {
    SCOPED_TRACE(c.file);
    auto registry = posix::OpenRegistryStore(c.file);
    RegKey key = 0;
    std::uint32_t size = 0;
    if (c.code != 3) {  // a missing folder only fails writes: reads see an empty registry
      EXPECT_EQ(c.code, registry->OpenKeyEx(reg::kLocalMachine, "SOFTWARE", reg::kKeyRead, key));
      EXPECT_EQ(c.code, registry->OpenKeyEx(reg::kLocalMachine, "", reg::kKeyRead, key));
      EXPECT_EQ(c.code, registry->QueryValueEx(reg::kCurrentUser, "v", nullptr, nullptr, &size));
    }
    EXPECT_EQ(c.code, registry->CreateKey(reg::kLocalMachine, "SOFTWARE\\X", key));
    EXPECT_EQ(c.code, SetText(*registry, reg::kCurrentUser, "v", "x"));
    EXPECT_EQ(0u, key);
  }
  EXPECT_EQ(garbage, ReadBytes(file_));
  EXPECT_FALSE(fs::exists(inMissingFolder));
  EXPECT_FALSE(fs::exists(folder_ / "nothing.db"));
  // A folder on the way to the store may be a link: that is where the installer put it.
  fs::create_directory_symlink(folder_ / "missing2", folder_ / "via");
  fs::create_directories(folder_ / "missing2");
  auto registry = posix::OpenRegistryStore((folder_ / "via" / "registry.db").string());
  EXPECT_EQ(0, SetText(*registry, reg::kCurrentUser, "v", "x"));
  EXPECT_EQ("x", Text(*registry, reg::kCurrentUser, "v"));
}

// Every connection SQLite opens in this process gets a function that counts its calls.
int tripped = 0;
sqlite3* opened = nullptr;
int AddTripwire(sqlite3* db, char**, const sqlite3_api_routines*) {
  opened = db;
  return sqlite3_create_function(
      db, "tripwire", 0, SQLITE_UTF8, nullptr,
      [](sqlite3_context* c, int, sqlite3_value**) { ++tripped, sqlite3_result_null(c); }, nullptr,
      nullptr);
}

// A store file is data others may have written: a function that its schema calls (from a
// trigger) is not run, the write is refused instead, and the schema cannot be rewritten.
TEST_F(SqliteStore, ItsSchemaRunsNoFunctionAndCannotBeRewritten) {
  ASSERT_EQ(0, SetText(*posix::OpenRegistryStore(file_), reg::kCurrentUser, "v", "x"));
  ASSERT_EQ(0, Run("sqlite3 " + file_ + " 'CREATE TRIGGER t AFTER INSERT ON key_values BEGIN " +
                   "SELECT tripwire(); END'"));
  sqlite3_auto_extension(reinterpret_cast<void (*)()>(AddTripwire));
  auto registry = posix::OpenRegistryStore(file_);
  EXPECT_EQ(1010, SetText(*registry, reg::kCurrentUser, "w", "y"));
  sqlite3_reset_auto_extension();
  EXPECT_EQ(0, tripped);
  ASSERT_NE(nullptr, opened);
  EXPECT_EQ(SQLITE_ERROR,
            sqlite3_exec(opened, "PRAGMA writable_schema=ON; UPDATE sqlite_master SET sql = sql",
                         nullptr, nullptr, nullptr));
}

TEST_F(SqliteStore, AStoreThatMayOnlyBeReadIsReadAndOneThatMayNotBeReadFails) {
  ASSERT_EQ(0, Run(kTool + " write " + file_ + " v 3"));
  fs::permissions(file_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::permissions(folder_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec);
  EXPECT_EQ("error 2\n", ReadAsUser(file_, "missing"));
  const std::string dword2("\x02", 1);
  EXPECT_EQ(dword2 + "\n", ReadAsUser(file_, "v2"));

  fs::permissions(file_, fs::perms::none);
  EXPECT_EQ("error 5\n", ReadAsUser(file_, "v2"));
  fs::permissions(folder_, fs::perms::owner_all);
}

TEST_F(SqliteStore, TheProductsStoreIsNamedByQenvRegistryElseBesideTheExecutable) {
  ASSERT_EQ(0, Run("QENV_REGISTRY=" + file_ + " " + kTool + " write - n 1"));
  auto registry = posix::OpenRegistryStore(file_);
  RegKey key = 0;
  EXPECT_EQ(0, registry->OpenKeyEx(reg::kCurrentUser, "Software\\qEnvStore", reg::kKeyRead, key));
  registry->CloseKey(key);

  const fs::path besideTool = fs::path(kTool).parent_path() / "registry.db";
  fs::remove(besideTool);
  EXPECT_EQ(0, Run("env -u QENV_REGISTRY " + kTool + " write - n 1"));
  EXPECT_TRUE(fs::exists(besideTool));
  for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(besideTool.string() + suffix);
}
}  // namespace

namespace {
std::string SubkeyAt(Registry& registry, RegKey key, std::uint32_t index) {
  char name[256] = {};
  std::uint32_t size = sizeof name;
  const long rc = registry.EnumKeyEx(key, index, name, &size);
  return rc == 0 ? std::string(name, size) : "<" + std::to_string(rc) + ">";
}
std::string ValueNameAt(Registry& registry, RegKey key, std::uint32_t index) {
  char name[256] = {};
  std::uint32_t size = sizeof name;
  const long rc = registry.EnumValue(key, index, name, &size, nullptr, nullptr, nullptr);
  return rc == 0 ? std::string(name, size) : "<" + std::to_string(rc) + ">";
}
}  // namespace

// A listing goes on from the entry it reached rather than counting from the start again;
// what changed in between, by this process or another, must still show as an index into
// the list as it now stands.
TEST_F(SqliteStore, ListingsByIndexFollowChangesMadeBetweenTwoCalls) {
  auto lister = posix::OpenRegistryStore(file_);
  auto other = posix::OpenRegistryStore(file_);
  RegKey key = 0, otherKey = 0, sub = 0;
  ASSERT_EQ(0, lister->CreateKey(reg::kCurrentUser, "Software\\List", key));
  for (const char* name : {"f", "B", "d"}) {
    ASSERT_EQ(0, lister->CreateKey(key, name, sub));
    lister->CloseKey(sub);
    ASSERT_EQ(0, SetText(*lister, key, name, "x"));
  }
  ASSERT_EQ(0, other->OpenKeyEx(reg::kCurrentUser, "Software\\List", reg::kKeyAllAccess, otherKey));

  EXPECT_EQ("B", SubkeyAt(*lister, key, 0));
  EXPECT_EQ("d", SubkeyAt(*lister, key, 1));
  ASSERT_EQ(0, other->CreateKey(otherKey, "c", sub));  // another connection: B c d f
  other->CloseKey(sub);
  EXPECT_EQ("d", SubkeyAt(*lister, key, 2));
  EXPECT_EQ("f", SubkeyAt(*lister, key, 3));
  ASSERT_EQ(0, lister->CreateKey(key, "a", sub));  // this connection: a B c d f
  lister->CloseKey(sub);
  EXPECT_EQ("f", SubkeyAt(*lister, key, 4));
  EXPECT_EQ("<259>", SubkeyAt(*lister, key, 5));

  EXPECT_EQ("B", ValueNameAt(*lister, key, 0));
  ASSERT_EQ(0, other->DeleteValue(otherKey, "b"));  // d f
  EXPECT_EQ("f", ValueNameAt(*lister, key, 1));
  ASSERT_EQ(0, SetText(*lister, key, "e", "x"));  // d e f
  EXPECT_EQ("f", ValueNameAt(*lister, key, 2));
  EXPECT_EQ("<259>", ValueNameAt(*lister, key, 3));
  other->CloseKey(otherKey);
  lister->CloseKey(key);
}

TEST_F(SqliteStore, AWholeListingOfManyKeysComesInOrderOnce) {
  auto registry = posix::OpenRegistryStore(file_);
  RegKey key = 0, sub = 0;
  ASSERT_EQ(0, registry->CreateKey(reg::kCurrentUser, "Software\\Many", key));
  std::vector<std::string> expected;
  for (int i = 0; i < 300; ++i) expected.push_back("k" + std::to_string(1000 + (i * 7919) % 300));
  for (const std::string& name : expected) {
    ASSERT_EQ(0, registry->CreateKey(key, name, sub));
    registry->CloseKey(sub);
  }
  std::sort(expected.begin(), expected.end());
  std::vector<std::string> listed;
  for (std::uint32_t i = 0;; ++i) {
    const std::string name = SubkeyAt(*registry, key, i);
    if (name == "<259>") break;
    listed.push_back(name);
  }
  EXPECT_EQ(expected, listed);
  registry->CloseKey(key);
}
