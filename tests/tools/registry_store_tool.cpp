// A second process for the store's tests (POSIX build only).
//   registry_store_tool write FILE PREFIX COUNT
//       writes COUNT DWORD values PREFIX0.. into HKCU\Software\qEnvStore, one call each;
//       FILE "-" takes the store the product would use. Exits 1 at the first failure.
//   registry_store_tool read FILE NAME
//       prints the text of the HKCU\Software\qEnvStore value NAME, or "error" and the code.
//   registry_store_tool die FILE
//       starts writing "new" over the HKCU value "v" and is killed before it commits.
//   registry_store_tool hold FILE MS
//       keeps every other connection out of the store for MS milliseconds; prints "locked"
//       once it holds the lock.
#include <sqlite3.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/posix/registry_store.h"
#include "platform/posix/sqlite_storage.h"
#include "platform/registry_emulation.h"
#include "platform/service_factories.h"

namespace {
int Write(const std::string& file, const std::string& prefix, int count) {
  auto registry = file == "-" ? CreateRegistry() : posix::OpenRegistryStore(file);
  RegKey key = 0;
  long rc = registry->CreateKey(reg::kCurrentUser, "Software\\qEnvStore", key);
  for (int i = 0; rc == 0 && i < count; ++i) {
    const std::uint32_t value = static_cast<std::uint32_t>(i);
    rc = registry->SetValueEx(key, prefix + std::to_string(i), reg::kDword,
                              reinterpret_cast<const std::uint8_t*>(&value), sizeof value);
  }
  registry->CloseKey(key);
  if (rc != 0) std::fprintf(stderr, "%s: failed with %ld\n", prefix.c_str(), rc);
  return rc == 0 ? 0 : 1;
}

int Read(const std::string& file, const std::string& name) {
  auto registry = posix::OpenRegistryStore(file);
  RegKey key = 0;
  long rc = registry->OpenKeyEx(reg::kCurrentUser, "Software\\qEnvStore", reg::kKeyRead, key);
  char text[256] = {};
  std::uint32_t size = sizeof text - 1;
  if (rc == 0) {
    rc = registry->QueryValueEx(key, name, nullptr, reinterpret_cast<std::uint8_t*>(text), &size);
    registry->CloseKey(key);
  }
  if (rc == 0)
    std::printf("%s\n", text);
  else
    std::printf("error %ld\n", rc);
  return 0;
}

int Die(const std::string& file) {
  SqliteStorage storage(file);
  const RegistryStorage::KeyId currentUser = 2;
  if (storage.BeginWrite() != 0 || storage.PutValue(currentUser, EmulatedRegistry::Fold("v"),
                                                    StoredValue{"v", reg::kSz, "new"}) != 0)
    return 1;
  std::raise(SIGKILL);
  return 1;
}

int Hold(const std::string& file, int ms) {
  sqlite3* db = nullptr;
  // Exclusive locking mode: the lock taken by the write transaction stays until the
  // connection closes, and readers in WAL mode are refused as well as writers.
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
      sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE", nullptr, nullptr,
                   nullptr) != SQLITE_OK) {
    std::fprintf(stderr, "hold: %s\n", sqlite3_errmsg(db));
    sqlite3_close(db);
    return 1;
  }
  std::printf("locked\n");
  std::fflush(stdout);
  ::usleep(static_cast<useconds_t>(ms) * 1000);
  sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  const std::string verb = argc > 1 ? argv[1] : "";
  if (verb == "write" && argc == 5) return Write(argv[2], argv[3], std::atoi(argv[4]));
  if (verb == "read" && argc == 4) return Read(argv[2], argv[3]);
  if (verb == "die" && argc == 3) return Die(argv[2]);
  if (verb == "hold" && argc == 4) return Hold(argv[2], std::atoi(argv[3]));
  std::fprintf(stderr,
               "usage: registry_store_tool write FILE PREFIX COUNT | read FILE NAME | die FILE | "
               "hold FILE MS\n");
  return 2;
}
