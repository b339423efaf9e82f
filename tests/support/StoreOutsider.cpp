// Another process on a history file, for the tests that need one: SQLite's locks are per
// process, so a second connection in the test's own process cannot stand in for it.
//
//   read FILE         reads the file as the sqlite3 shell would, and closes it
//   query FILE SQL    prints the first value of a query on a fresh connection
//   store FILE        opens a second store; exits 0 only when it is refused as in use
//   crash FILE        opens a store, writes a tick and dies without closing, leaving its log

#include "storage/StoreTime.h"
#include "storage/TimeSeriesStore.h"

#include <QFile>

#include <sqlite3.h>

#include <unistd.h>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

int fail(const char* what, sqlite3* db) {
  std::fprintf(stderr, "%s: %s\n", what, db ? sqlite3_errmsg(db) : "no connection");
  sqlite3_close(db);
  return 2;
}

int query(const QByteArray& path, const char* sql) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK)
    return fail("open", db);
  sqlite3_busy_timeout(db, 5000);
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) return fail("prepare", db);
  const int rc = sqlite3_step(statement);
  if (rc == SQLITE_ROW) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    std::printf("%s\n", text ? text : "NULL");
  }
  sqlite3_finalize(statement);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) return fail("step", db);
  return sqlite3_close(db) == SQLITE_OK ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s read|query|store|crash FILE [SQL]\n", argv[0]);
    return 2;
  }
  const char* mode = argv[1];
  const QString path = QFile::decodeName(argv[2]);
  const QByteArray nativePath(argv[2]);
  if (std::strcmp(mode, "read") == 0) return query(nativePath, "SELECT count(*) FROM raw");
  if (std::strcmp(mode, "query") == 0 && argc == 4) return query(nativePath, argv[3]);
  if (std::strcmp(mode, "store") == 0) {
    try {
      kivo::TimeSeriesStore store(path);
      std::fprintf(stderr, "a second store opened %s\n", argv[2]);
      return 1;
    } catch (const kivo::StoreError& error) {
      std::fprintf(stderr, "%s\n", error.what());
      return error.message().contains(QLatin1String("in use by another running instance")) ? 0 : 1;
    }
  }
  if (std::strcmp(mode, "crash") == 0) {
    auto* store = new kivo::TimeSeriesStore(path);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const std::vector<kivo::MetricValue> tick{{kivo::MetricID::cpuTotal, 1}};
    store->append(tick, now.addSecs(-10));
    if (!store->flush(now)) return 2;
    std::fflush(nullptr);
    ::_exit(0);  // as kill -9 would: no checkpoint, the log stays
  }
  std::fprintf(stderr, "unknown mode %s\n", mode);
  return 2;
}
