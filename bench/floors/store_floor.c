/* The least a native run must do: open the registry store, read one value of the agent's
 * key and write one line to a file. scripts/bench times qEnv against it.
 * Usage: store_floor STORE OUTPUT */
#include <sqlite3.h>
#include <stdio.h>

/* Names are looked up by their folded form: each character as its lower-case code point,
 * two bytes, high byte first. */
static const char kQuery[] =
    "SELECT v.data FROM keys AS soft"
    " JOIN keys AS agent ON agent.parent = soft.id AND agent.fold = ?2"
    " JOIN key_values AS v ON v.key = agent.id AND v.fold = ?3"
    " WHERE soft.parent = 3 AND soft.fold = ?1"; /* 3: HKEY_LOCAL_MACHINE */

static int Fold(const char* name, unsigned char* out) {
  int n = 0;
  for (; *name; ++name) {
    out[n++] = 0;
    out[n++] = (unsigned char)(*name >= 'A' && *name <= 'Z' ? *name + 32 : *name);
  }
  return n;
}

static void BindFolded(sqlite3_stmt* stmt, int slot, const char* name) {
  unsigned char folded[64];
  sqlite3_bind_blob(stmt, slot, folded, Fold(name, folded), SQLITE_TRANSIENT);
}

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: store_floor STORE OUTPUT\n");
    return 2;
  }
  sqlite3* db = NULL;
  if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READONLY, NULL) != SQLITE_OK) return 1;
  sqlite3_stmt* stmt = NULL;
  char value[256] = "";
  if (sqlite3_prepare_v2(db, kQuery, -1, &stmt, NULL) != SQLITE_OK) return 1;
  BindFolded(stmt, 1, "SOFTWARE");
  BindFolded(stmt, 2, "DORAZA");
  BindFolded(stmt, 3, "RegID");
  if (sqlite3_step(stmt) == SQLITE_ROW) {
    const unsigned char* data = sqlite3_column_blob(stmt, 0);
    int n = sqlite3_column_bytes(stmt, 0);
    if (data && n > 0) snprintf(value, sizeof value, "%.*s", n, (const char*)data);
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  if (!value[0]) return 1; /* no agent identity: nothing like a run's work was done */
  /* A new file, as a run makes its result after deleting the earlier one: ext4 writes a
   * truncated-and-rewritten file out at close, which would weigh on the floor alone. */
  remove(argv[2]);
  FILE* out = fopen(argv[2], "w");
  if (!out) return 1;
  fprintf(out, "%s\r\n", value);
  return fclose(out) == 0 ? 0 : 1;
}
