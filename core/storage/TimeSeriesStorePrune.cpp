#include "storage/StoreSql.h"
#include "storage/StoreTime.h"
#include "storage/TimeSeriesStoreImpl.h"

// Removing rows: pruning by the retention, and erasing everything.

namespace kivo {

using namespace StoreDetail;
using namespace StoreSql;

std::vector<std::int64_t> TimeSeriesStore::Impl::metricsIn(const char* nextMetricSql) {
  // The distinct metrics, one seek down the primary key each.
  std::vector<std::int64_t> metrics;
  SQLiteStatement next(db(), nextMetricSql);
  if (!next.ok()) return metrics;
  std::int64_t after = std::numeric_limits<std::int64_t>::min();
  for (;;) {
    next.bind(1, after);
    if (next.step() != SQLITE_ROW) break;
    after = next.columnInt64(0);
    metrics.push_back(after);
    next.reset();
    if (after == std::numeric_limits<std::int64_t>::max()) break;
  }
  return metrics;
}

bool TimeSeriesStore::Impl::pruneLocked(double now) {
  // A retention that is not a finite, non-negative number keeps its tier whole.
  auto usable = [](double keep) { return std::isfinite(keep) && keep >= 0; };
  const RetentionPolicy retention = currentRetention();
  if (connection().exec("BEGIN IMMEDIATE") != SQLITE_OK) {
    failSql("cannot prune history");
    return false;
  }
  struct TierCut {
    int tier;
    double keep;
    double scale;
  };
  const TierCut cuts[] = {{0, retention.raw, 1000.0}, {1, retention.minute, 1.0}, {2, retention.hour, 1.0}};
  for (const TierCut& cut : cuts) {
    if (!usable(cut.keep)) continue;
    const std::int64_t cutoff = truncated((now - cut.keep) * cut.scale);
    SQLiteStatement remove(db(), kPrune[cut.tier]);
    if (!remove.ok()) {
      failSql("cannot prune history");
      rollback();
      return false;
    }
    for (std::int64_t metric : metricsIn(kNextMetric[cut.tier])) {
      remove.bind(1, metric);
      remove.bind(2, cutoff);
      const int rc = remove.step();
      remove.reset();
      if (rc != SQLITE_DONE) {
        failSql("cannot prune history");
        rollback();
        return false;
      }
    }
  }
  if (usable(retention.hour)) {
    SQLiteStatement remove(db(), kPruneEvents);
    remove.bind(1, now - retention.hour);
    if (remove.step() != SQLITE_DONE) {
      failSql("cannot prune events");
      remove.reset();
      rollback();
      return false;
    }
  }
  if (connection().exec("COMMIT") != SQLITE_OK) {
    failSql("cannot prune history");
    rollback();
    return false;
  }
  lastPrune = now;
  if (connection().exec("PRAGMA incremental_vacuum") != SQLITE_OK) {
    failSql("cannot return free pages");
    return false;
  }
  return true;
}

bool TimeSeriesStore::prune(const QDateTime& now) {
  const double n = StoreTime::seconds(now);
  if (!std::isfinite(n)) return false;
  std::lock_guard connection(d->connectionMutex);
  return d->pruneLocked(n);
}

bool TimeSeriesStore::eraseAll() {
  std::lock_guard connection(d->connectionMutex);
  {
    std::lock_guard state(d->stateMutex);
    d->pendingRaw.clear();
    d->minuteBuckets.fill(std::nullopt);
    d->hourBuckets.fill(std::nullopt);
    d->closedBuckets.clear();
    d->pendingEvents.clear();
  }

  if (d->connection().exec("BEGIN IMMEDIATE") != SQLITE_OK) {
    d->failSql("cannot erase history");
    return false;
  }
  for (const char* statement :
       {"DELETE FROM raw", "DELETE FROM minute", "DELETE FROM hour", "DELETE FROM events"}) {
    if (d->connection().exec(statement) != SQLITE_OK) {
      d->failSql("cannot erase history");
      d->rollback();
      return false;
    }
  }
  if (d->connection().exec("COMMIT") != SQLITE_OK) {
    d->failSql("cannot erase history");
    d->rollback();
    return false;
  }
  if (d->connection().exec("VACUUM") != SQLITE_OK) {
    d->failSql("cannot compact the history file");
    return false;
  }
  // The compacted copy went through the log, which would leave the files larger than
  // before: fold it into the database and empty it.
  if (d->connection().exec("PRAGMA wal_checkpoint(TRUNCATE)") != SQLITE_OK) {
    d->failSql("cannot compact the history file");
    return false;
  }
  return true;
}

}  // namespace kivo
