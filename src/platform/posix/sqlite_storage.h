#pragma once
// The registry's keys and values in one SQLite database file (every hive in it), for the
// POSIX build. The file is created, mode 0600, by the first write; until then reads see
// empty hives. Each write is one transaction; the database runs in WAL mode with a busy
// timeout, so several processes can write to it at once. A file that cannot be read or is
// not a database fails every call with a Win32 code and is left as it is.
#include <map>
#include <string>

#include "platform/registry_storage.h"

struct sqlite3;
struct sqlite3_stmt;

class SqliteStorage final : public RegistryStorage {
 public:
  // file: the database's path, or ":memory:" for a store that lives in this object only.
  explicit SqliteStorage(std::string file);
  ~SqliteStorage() override;
  SqliteStorage(const SqliteStorage&) = delete;
  SqliteStorage& operator=(const SqliteStorage&) = delete;

  long BeginWrite() override;
  long Commit() override;
  void Rollback() override;
  long KeyExists(KeyId key) override;
  long FindChild(KeyId parent, const std::string& folded, KeyId& child) override;
  long AddChild(KeyId parent, const std::string& name, const std::string& folded,
                KeyId& child) override;
  long ChildAt(KeyId parent, std::uint32_t index, std::string& name) override;
  long HasChildren(KeyId key, bool& any) override;
  long RemoveKey(KeyId key) override;
  long GetValue(KeyId key, const std::string& folded, StoredValue& value) override;
  long PutValue(KeyId key, const std::string& folded, const StoredValue& value) override;
  long RemoveValue(KeyId key, const std::string& folded) override;
  long ValueAt(KeyId key, std::uint32_t index, StoredValue& value) override;

 private:
  class Query;
  // Opens the database when it is not open yet. For a read, a missing file (or one
  // without the tables yet) leaves it closed with empty_ set: every hive is empty.
  long Connect(bool forWrite);
  long CreateSchema();
  long Exec(const char* sql);
  void Disconnect();
  sqlite3_stmt* Prepared(const char* sql);

  // Where the last listing call stopped, so that the next index continues from its name
  // instead of counting the rows before it again (a listing of n entries would cost n^2
  // row steps). Only valid while the database is unchanged: every write of this connection
  // forgets it, and data_version tells of a commit by another.
  struct ListingCursor {
    bool valid = false;
    KeyId key = 0;
    std::uint32_t index = 0;
    std::string fold;
    std::int64_t dataVersion = 0;
  };
  // The database's change counter as this connection sees it; -1 when it cannot be read.
  std::int64_t DataVersion();
  bool Continues(const ListingCursor& cursor, KeyId key, std::uint32_t index,
                 std::int64_t version) const;
  void ForgetListings();

  std::string file_;
  ListingCursor children_;
  ListingCursor values_;
  sqlite3* db_ = nullptr;
  bool empty_ = false;
  bool writing_ = false;
  std::map<const char*, sqlite3_stmt*> statements_;
};
