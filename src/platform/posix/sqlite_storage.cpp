// POSIX only: the registry store on SQLite.
#include "platform/posix/sqlite_storage.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/win32_error.h"

namespace {
constexpr int kBusyTimeoutMs = 10000;
constexpr const char* kMemory = ":memory:";

long Win32Code(int rc) {
  switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
      return win32_error::kSuccess;
    case SQLITE_PERM:
    case SQLITE_READONLY:
    case SQLITE_AUTH:
    case SQLITE_CANTOPEN:
      return win32_error::kAccessDenied;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return win32_error::kSharingViolation;
    case SQLITE_NOMEM:
      return win32_error::kNotEnoughMemory;
    case SQLITE_FULL:
      return win32_error::kDiskFull;
    default:  // corrupt, not a database, I/O error ...
      return win32_error::kBadDbFile;
  }
}

// A path as the path part of an SQLite URI.
std::string UriPath(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string uri;
  for (unsigned char c : path) {
    if (c == '%' || c == '?' || c == '#' || c < 0x20 || c >= 0x7F) {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 0xF];
    } else {
      uri += static_cast<char>(c);
    }
  }
  return uri;
}

// The file's path with the folder that holds it resolved: the folder is the installer's
// choice and may be reached through links, while SQLite's NOFOLLOW refuses a link anywhere
// in the path. The file itself is never resolved. A folder that cannot be resolved stays
// as written (opening then fails as it would have).
std::string ResolvedFolderPath(const std::string& file) {
  const std::size_t slash = file.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : file.substr(0, slash + 1);
  char* real = ::realpath(folder.c_str(), nullptr);
  if (!real) return file;
  std::string resolved(real);
  std::free(real);
  if (resolved.back() != '/') resolved += '/';
  return resolved + (slash == std::string::npos ? file : file.substr(slash + 1));
}

long Win32CodeForErrno(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      return win32_error::kPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return win32_error::kAccessDenied;
    case ENOSPC:
      return win32_error::kDiskFull;
    default:
      return win32_error::kBadDbFile;
  }
}

const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS keys ("
    "  id INTEGER PRIMARY KEY AUTOINCREMENT,"
    "  parent INTEGER NOT NULL,"
    "  name TEXT NOT NULL,"
    "  fold BLOB NOT NULL,"
    "  UNIQUE (parent, fold));"
    "CREATE TABLE IF NOT EXISTS key_values ("
    "  key INTEGER NOT NULL,"
    "  fold BLOB NOT NULL,"
    "  name TEXT NOT NULL,"
    "  type INTEGER NOT NULL,"
    "  data BLOB NOT NULL,"
    "  PRIMARY KEY (key, fold)) WITHOUT ROWID;"
    "INSERT OR IGNORE INTO keys (id, parent, name, fold) VALUES"
    "  (1, 0, 'HKEY_CLASSES_ROOT', x''), (2, 0, 'HKEY_CURRENT_USER', x''),"
    "  (3, 0, 'HKEY_LOCAL_MACHINE', x''), (4, 0, 'HKEY_USERS', x''),"
    "  (5, 0, 'HKEY_PERFORMANCE_DATA', x''), (6, 0, 'HKEY_CURRENT_CONFIG', x''),"
    "  (7, 0, 'HKEY_DYN_DATA', x'');";
}  // namespace

// One use of a prepared statement: binds in order, steps, reads columns, resets.
class SqliteStorage::Query {
 public:
  Query(SqliteStorage& storage, const char* sql) : db_(storage.db_) {
    stmt_ = storage.Prepared(sql);
  }
  ~Query() {
    if (stmt_) {
      sqlite3_reset(stmt_);
      sqlite3_clear_bindings(stmt_);
    }
  }
  Query& Int(std::int64_t v) {
    if (stmt_) sqlite3_bind_int64(stmt_, next_++, v);
    return *this;
  }
  Query& Text(const std::string& v) {
    if (stmt_) sqlite3_bind_text(stmt_, next_++, v.data(), static_cast<int>(v.size()), nullptr);
    return *this;
  }
  Query& Blob(const std::string& v) {
    if (stmt_) sqlite3_bind_blob(stmt_, next_++, v.data(), static_cast<int>(v.size()), nullptr);
    return *this;
  }
  // 0 with a row, 2 without one, or the failure's code.
  long Step() {
    if (!stmt_) return Win32Code(sqlite3_errcode(db_));
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return win32_error::kSuccess;
    if (rc == SQLITE_DONE) return win32_error::kFileNotFound;
    return Win32Code(rc);
  }
  // For statements that return no rows.
  long Run() {
    const long rc = Step();
    return rc == win32_error::kFileNotFound ? win32_error::kSuccess : rc;
  }
  std::int64_t ColumnInt(int i) { return sqlite3_column_int64(stmt_, i); }
  std::string ColumnBytes(int i) {
    const void* p = sqlite3_column_blob(stmt_, i);
    const int n = sqlite3_column_bytes(stmt_, i);
    return p ? std::string(static_cast<const char*>(p), static_cast<std::size_t>(n)) : "";
  }

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
  int next_ = 1;
};

SqliteStorage::SqliteStorage(std::string file) : file_(std::move(file)) {}

SqliteStorage::~SqliteStorage() {
  Disconnect();
}

std::int64_t SqliteStorage::DataVersion() {
  Query q(*this, "PRAGMA data_version");
  return q.Step() == win32_error::kSuccess ? q.ColumnInt(0) : -1;
}

bool SqliteStorage::Continues(const ListingCursor& cursor, KeyId key, std::uint32_t index,
                              std::int64_t version) const {
  return cursor.valid && version >= 0 && cursor.dataVersion == version && cursor.key == key &&
         index > 0 && cursor.index == index - 1;
}

void SqliteStorage::ForgetListings() {
  children_.valid = false;
  values_.valid = false;
}

void SqliteStorage::Disconnect() {
  ForgetListings();
  for (auto& [sql, stmt] : statements_) sqlite3_finalize(stmt);
  statements_.clear();
  if (db_) sqlite3_close(db_);
  db_ = nullptr;
}

sqlite3_stmt* SqliteStorage::Prepared(const char* sql) {
  auto it = statements_.find(sql);
  if (it != statements_.end()) return it->second;
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK)
    return nullptr;
  statements_[sql] = stmt;
  return stmt;
}

long SqliteStorage::Exec(const char* sql) {
  return Win32Code(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr));
}

long SqliteStorage::Connect(bool forWrite) {
  empty_ = false;
  if (db_) return win32_error::kSuccess;
  const bool memory = file_ == kMemory;
  const std::string file = memory ? file_ : ResolvedFolderPath(file_);
  if (!memory) {
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0) {
      if (errno != ENOENT) return Win32CodeForErrno(errno);
      if (!forWrite) {
        empty_ = true;  // nothing written yet: the file is not made by a read
        return win32_error::kSuccess;
      }
      // Made here rather than by SQLite, so that it is its owner's alone whatever the umask:
      // it holds the agent's identity. SQLite gives its WAL files the same mode.
      const int fd =
          ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
      if (fd < 0 && errno != EEXIST) return Win32CodeForErrno(errno);
      if (fd >= 0) {
        ::fchmod(fd, 0600);
        ::close(fd);
      }
    } else if (S_ISDIR(st.st_mode) || S_ISLNK(st.st_mode)) {
      // A link may point at any database, or any file: never followed, never touched.
      return win32_error::kAccessDenied;
    }
  }
  // A read tries the file for writing, then for reading; a store in WAL mode that this
  // process may only read, in a folder it may not write to, can be read only as immutable
  // (SQLite cannot make the WAL index beside it).
  struct Attempt {
    std::string name;
    int flags;
  };
  std::vector<Attempt> attempts = {
      {file, SQLITE_OPEN_READWRITE | (memory ? SQLITE_OPEN_CREATE : 0)}};
  if (!forWrite && !memory) {
    attempts.push_back({file, SQLITE_OPEN_READONLY});
    attempts.push_back(
        {"file:" + UriPath(file) + "?immutable=1", SQLITE_OPEN_READONLY | SQLITE_OPEN_URI});
  }
  long result = win32_error::kBadDbFile;
  bool haveTables = false;
  for (const Attempt& attempt : attempts) {
    // Opened as SQLite advises for a file others may have written: no link followed, no
    // schema trick that writes the file behind a statement's back, no function called from
    // the schema.
    int rc = sqlite3_open_v2(attempt.name.c_str(), &db_,
                             attempt.flags | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_NOFOLLOW, nullptr);
    if (rc == SQLITE_OK) {
      rc = sqlite3_db_config(db_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
      if (rc == SQLITE_OK)
        rc = sqlite3_exec(db_, "PRAGMA trusted_schema=OFF", nullptr, nullptr, nullptr);
    }
    if (rc == SQLITE_OK) {
      sqlite3_busy_timeout(db_, kBusyTimeoutMs);
      // Reading the schema is the first look at the file: a file that is no database, or
      // cannot be read, fails here.
      Query tables(*this, "SELECT count(*) FROM sqlite_master WHERE name = 'key_values'");
      result = tables.Step();
      if (result == win32_error::kSuccess) haveTables = tables.ColumnInt(0) > 0;
    } else {
      result = Win32Code(rc);
    }
    if (result != win32_error::kAccessDenied) break;
    Disconnect();
  }
  if (!db_) return result;
  if (result == win32_error::kSuccess && !sqlite3_db_readonly(db_, "main")) {
    // Choosing the journal writes the file's header: only a writer may, so that a read
    // leaves any file (an empty one included) exactly as it found it.
    if (forWrite || memory) sqlite3_exec(db_, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_exec(db_, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
  }
  if (result == win32_error::kSuccess && !haveTables) {
    if (forWrite || memory) {
      result = CreateSchema();
    } else {
      Disconnect();
      empty_ = true;
      return win32_error::kSuccess;
    }
  }
  if (result != win32_error::kSuccess) Disconnect();
  return result;
}

long SqliteStorage::CreateSchema() {
  long rc = Exec("BEGIN IMMEDIATE");
  if (rc != win32_error::kSuccess) return rc;
  rc = Exec(kSchema);
  if (rc == win32_error::kSuccess) rc = Exec("COMMIT");
  if (rc != win32_error::kSuccess) Exec("ROLLBACK");
  return rc;
}

long SqliteStorage::BeginWrite() {
  ForgetListings();
  if (db_ && sqlite3_db_readonly(db_, "main")) Disconnect();  // opened for reading only
  long rc = Connect(true);
  if (rc == win32_error::kSuccess) rc = Exec("BEGIN IMMEDIATE");
  writing_ = rc == win32_error::kSuccess;
  return rc;
}

long SqliteStorage::Commit() {
  ForgetListings();
  const long rc = Exec("COMMIT");
  if (rc == win32_error::kSuccess) writing_ = false;
  return rc;
}

void SqliteStorage::Rollback() {
  ForgetListings();
  if (writing_ && db_) Exec("ROLLBACK");
  writing_ = false;
}

long SqliteStorage::KeyExists(KeyId key) {
  // Connecting first, so that a store that cannot be read fails even the hives.
  long rc = Connect(false);
  if (rc != win32_error::kSuccess) return rc;
  if (key >= 1 && key <= kHiveCount) return win32_error::kSuccess;
  if (empty_) return win32_error::kFileNotFound;
  return Query(*this, "SELECT 1 FROM keys WHERE id = ?").Int(key).Step();
}

long SqliteStorage::FindChild(KeyId parent, const std::string& folded, KeyId& child) {
  long rc = Connect(false);
  if (rc != win32_error::kSuccess || empty_) return rc ? rc : win32_error::kFileNotFound;
  Query q(*this, "SELECT id FROM keys WHERE parent = ? AND fold = ?");
  rc = q.Int(parent).Blob(folded).Step();
  if (rc == win32_error::kSuccess) child = q.ColumnInt(0);
  return rc;
}

long SqliteStorage::AddChild(KeyId parent, const std::string& name, const std::string& folded,
                             KeyId& child) {
  ForgetListings();
  const long rc = Query(*this, "INSERT INTO keys (parent, name, fold) VALUES (?, ?, ?)")
                      .Int(parent)
                      .Text(name)
                      .Blob(folded)
                      .Run();
  if (rc == win32_error::kSuccess) child = sqlite3_last_insert_rowid(db_);
  return rc;
}

long SqliteStorage::ChildAt(KeyId parent, std::uint32_t index, std::string& name) {
  long rc = Connect(false);
  if (rc != win32_error::kSuccess || empty_) return rc ? rc : win32_error::kNoMoreItems;
  const std::int64_t version = DataVersion();
  std::string fold;
  if (Continues(children_, parent, index, version)) {
    Query q(*this,
            "SELECT name, fold FROM keys WHERE parent = ? AND fold > ? ORDER BY fold LIMIT 1");
    rc = q.Int(parent).Blob(children_.fold).Step();
    if (rc == win32_error::kSuccess) {
      name = q.ColumnBytes(0);
      fold = q.ColumnBytes(1);
    }
  } else {
    Query q(*this, "SELECT name, fold FROM keys WHERE parent = ? ORDER BY fold LIMIT 1 OFFSET ?");
    rc = q.Int(parent).Int(index).Step();
    if (rc == win32_error::kSuccess) {
      name = q.ColumnBytes(0);
      fold = q.ColumnBytes(1);
    }
  }
  children_ = {rc == win32_error::kSuccess, parent, index, std::move(fold), version};
  return rc == win32_error::kFileNotFound ? win32_error::kNoMoreItems : rc;
}

long SqliteStorage::HasChildren(KeyId key, bool& any) {
  any = false;
  long rc = Connect(false);
  if (rc != win32_error::kSuccess || empty_) return rc;
  rc = Query(*this, "SELECT 1 FROM keys WHERE parent = ? LIMIT 1").Int(key).Step();
  any = rc == win32_error::kSuccess;
  return rc == win32_error::kFileNotFound ? win32_error::kSuccess : rc;
}

long SqliteStorage::RemoveKey(KeyId key) {
  ForgetListings();
  long rc = Query(*this, "DELETE FROM key_values WHERE key = ?").Int(key).Run();
  if (rc == win32_error::kSuccess)
    rc = Query(*this, "DELETE FROM keys WHERE id = ?").Int(key).Run();
  if (rc == win32_error::kSuccess && sqlite3_changes(db_) == 0) rc = win32_error::kFileNotFound;
  return rc;
}

long SqliteStorage::GetValue(KeyId key, const std::string& folded, StoredValue& value) {
  long rc = Connect(false);
  if (rc != win32_error::kSuccess || empty_) return rc ? rc : win32_error::kFileNotFound;
  Query q(*this, "SELECT name, type, data FROM key_values WHERE key = ? AND fold = ?");
  rc = q.Int(key).Blob(folded).Step();
  if (rc == win32_error::kSuccess) {
    value.name = q.ColumnBytes(0);
    value.type = static_cast<std::uint32_t>(q.ColumnInt(1));
    value.data = q.ColumnBytes(2);
  }
  return rc;
}

long SqliteStorage::PutValue(KeyId key, const std::string& folded, const StoredValue& value) {
  ForgetListings();
  return Query(*this,
               "INSERT INTO key_values (key, fold, name, type, data) VALUES (?, ?, ?, ?, ?) "
               "ON CONFLICT (key, fold) DO UPDATE SET type = excluded.type, data = excluded.data")
      .Int(key)
      .Blob(folded)
      .Text(value.name)
      .Int(value.type)
      .Blob(value.data)
      .Run();
}

long SqliteStorage::RemoveValue(KeyId key, const std::string& folded) {
  ForgetListings();
  long rc =
      Query(*this, "DELETE FROM key_values WHERE key = ? AND fold = ?").Int(key).Blob(folded).Run();
  if (rc == win32_error::kSuccess && sqlite3_changes(db_) == 0) rc = win32_error::kFileNotFound;
  return rc;
}

long SqliteStorage::ValueAt(KeyId key, std::uint32_t index, StoredValue& value) {
  long rc = Connect(false);
  if (rc != win32_error::kSuccess || empty_) return rc ? rc : win32_error::kNoMoreItems;
  const std::int64_t version = DataVersion();
  std::string fold;
  auto take = [&](Query& q) {
    value.name = q.ColumnBytes(0);
    value.type = static_cast<std::uint32_t>(q.ColumnInt(1));
    value.data = q.ColumnBytes(2);
    fold = q.ColumnBytes(3);
  };
  if (Continues(values_, key, index, version)) {
    Query q(*this,
            "SELECT name, type, data, fold FROM key_values WHERE key = ? AND fold > ? "
            "ORDER BY fold LIMIT 1");
    rc = q.Int(key).Blob(values_.fold).Step();
    if (rc == win32_error::kSuccess) take(q);
  } else {
    Query q(*this,
            "SELECT name, type, data, fold FROM key_values WHERE key = ? ORDER BY fold "
            "LIMIT 1 OFFSET ?");
    rc = q.Int(key).Int(index).Step();
    if (rc == win32_error::kSuccess) take(q);
  }
  values_ = {rc == win32_error::kSuccess, key, index, std::move(fold), version};
  return rc == win32_error::kFileNotFound ? win32_error::kNoMoreItems : rc;
}
