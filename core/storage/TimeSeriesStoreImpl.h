#pragma once

// The parts of TimeSeriesStore shared by its source files: the queue's records, the
// open database, the instance lock and the private state. Not for use outside the store.

#include "storage/SQLiteConnection.h"
#include "storage/StoreRollup.h"
#include "storage/TimeSeriesStore.h"

#include <QByteArray>
#include <QString>

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace kivo {

namespace StoreDetail {

inline constexpr double kPruneInterval = 3600;
// How long a statement waits for another connection's write lock; the sampling loop's flush
// does not wait at all.
inline constexpr int kBusyTimeoutMs = 2000;

// A double as a 64-bit statement parameter: truncated toward zero, clamped to the
// integer range; NaN gives 0.
inline std::int64_t truncated(double value) {
  if (std::isnan(value)) return 0;
  constexpr double limit = 9.2233720368547748e18;  // 2^63
  if (value >= limit) return std::numeric_limits<std::int64_t>::max();
  if (value <= -limit) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(value);
}

// Halves away from zero, clamped like truncated().
inline std::int64_t rounded(double value) {
  return truncated(std::round(value));
}

struct PendingRaw {
  int metric;
  std::int64_t ms;
  double value;
};

struct ClosedBucket {
  StoreTier tier;
  MetricID metric;
  Bucket bucket;
};

// Whether the latest failure on the handle is a full disk: SQLite says "disk I/O error" when
// the shared-memory file cannot grow for want of space.
inline bool isDiskFull(sqlite3* handle) {
  const int code = sqlite3_errcode(handle) & 0xff;
  return code == SQLITE_FULL ||
         ((code == SQLITE_IOERR || code == SQLITE_CANTOPEN) && sqlite3_system_errno(handle) == ENOSPC);
}

// An advisory lock beside the database, held as long as the store is open, so that a
// second running instance cannot write into the same history unnoticed.
class InstanceLock {
 public:
  InstanceLock() = default;
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Empty on success, else the reason.
  std::optional<QString> acquire(const QString& databasePath);
  // Whether the lock file held is still the one at its path: deleting the data folder
  // takes it along.
  bool isInPlace() const;
  // Leaves no lock file behind a database that was refused.
  void abandon();

 private:
  int fd_ = -1;
  bool created_ = false;
  QByteArray lockPath_;
};

// The open connection and the statements of the hot paths, kept prepared; the
// statements are declared after the connection so they are finalised before it closes.
struct Database {
  std::unique_ptr<SQLiteConnection> connection;
  bool newFile = false;  // the file did not exist before this open
  SQLiteStatement insertRaw;
  SQLiteStatement mergeMinute;
  SQLiteStatement mergeHour;
  SQLiteStatement insertEvent;
  SQLiteStatement seriesRaw;
  SQLiteStatement seriesMinute;
  SQLiteStatement seriesHour;
};

// Opens (creating when missing) and checks the database at path, or an in-memory one.
// `lock` is the instance lock to keep, if any; a new one is taken when it is missing or
// no longer in place and, on success, handed back through it.
std::unique_ptr<Database> openDatabase(const std::optional<QString>& path,
                                       std::unique_ptr<InstanceLock>& lock);

}  // namespace StoreDetail

struct TimeSeriesStore::Impl {
  using Bucket = StoreDetail::Bucket;
  using PendingRaw = StoreDetail::PendingRaw;
  using ClosedBucket = StoreDetail::ClosedBucket;

  std::optional<QString> path;

  // What the sampling loop touches: the queue, the settings and the last failure, under
  // a lock held only for moments, so that a tick never waits on SQLite.
  mutable std::mutex stateMutex;
  RetentionPolicy retention;
  bool retentionChanged = false;
  double rawInterval = 2;
  std::vector<PendingRaw> pendingRaw;
  std::array<std::optional<Bucket>, kMetricCount> minuteBuckets;  // by Metric::index
  std::array<std::optional<Bucket>, kMetricCount> hourBuckets;
  std::vector<ClosedBucket> closedBuckets;
  std::vector<StoredEvent> pendingEvents;  // oldest first
  std::optional<QString> lastError;
  int lastErrorCode = 0;  // primary result code of lastError
  std::uint64_t dropped = 0;

  // The connection and what only the writer touches. Taken before stateMutex, never
  // while holding it.
  std::mutex connectionMutex;
  std::unique_ptr<StoreDetail::InstanceLock> lock;  // declared first: released after the connection closes
  std::unique_ptr<StoreDetail::Database> database;
  double lastPrune = 0;
  // The rows of the flush under way, taken from the queue; their buffers are kept.
  std::vector<PendingRaw> writingRaw;
  std::vector<ClosedBucket> writingSummaries;  // closed and still-open periods

  sqlite3* db() const { return database->connection->handle(); }
  SQLiteConnection& connection() const { return *database->connection; }

  RetentionPolicy currentRetention() const {
    std::lock_guard state(stateMutex);
    return retention;
  }

  void setError(QString message, int code = SQLITE_ERROR) {
    std::lock_guard state(stateMutex);
    lastError = std::move(message);
    lastErrorCode = code;
  }

  void failSql(const char* what) {
    if (StoreDetail::isDiskFull(db())) {
      setError(QStringLiteral("%1: the disk is full").arg(QLatin1String(what)), SQLITE_FULL);
      return;
    }
    setError(QStringLiteral("%1: %2").arg(QLatin1String(what), connection().errorMessage()),
             sqlite3_errcode(db()) & 0xff);
  }

  void rollback() {
    if (connection().inTransaction()) connection().exec("ROLLBACK");
  }

  void appendLocked(std::span<const MetricValue> values, double t);
  void rollUp(std::array<std::optional<Bucket>, kMetricCount>& buckets, StoreTier tier, MetricID metric,
              double start, double value);
  bool takeQueued();
  void restoreQueued();
  bool writeQueued();
  bool replaceIfDeleted();
  bool flushLocked(double now);
  bool pruneLocked(double now);
  std::vector<std::int64_t> metricsIn(const char* nextMetricSql);
  std::optional<double> earliestSample();
  void dropOldest();
  // Inserts one event; absent when it failed, with `busy` set (and no error kept) when only
  // another holder of the write lock stood in the way.
  std::optional<std::int64_t> insertEventLocked(const StoredEvent& event, bool& busy);
  // Writes the events recordUnlessBusy queued; false when some still wait for the database.
  bool writePendingEventsLocked();
  // Puts events back in front of those queued meanwhile; queues one after them. Both under
  // stateMutex, bounded by kMaxPendingEvents.
  void requeueEvents(std::vector<StoredEvent>& events);
  void queueEvent(const StoredEvent& event);
  void dropOldestEvents();
};

}  // namespace kivo
