#pragma once

#include "metrics/Metric.h"
#include "storage/EventKind.h"
#include "storage/RetentionPolicy.h"
#include "storage/Series.h"
#include "storage/StoreError.h"
#include "storage/StoreStatistics.h"
#include "storage/StoreTier.h"
#include "storage/StoreWriteStatus.h"
#include "storage/StoredEvent.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace kivo {

// The history database: every sample for a short time (raw), one-minute and
// one-hour summaries for longer, and the event log, in one SQLite file.
//
// Thread-safe: every operation may be called from any thread. The connection is behind
// its own mutex, taken by the operations that use it (flush, prune, erase, queries,
// events), which run to completion one after the other; append() and the settings and
// error getters take only a short lock on the queue, so the sampling loop never waits for
// SQLite. Only the constructor throws; afterwards a failed statement shows in the
// operation's result and in lastError().
// Dates are wall-clock dates (seconds since 1970 in the file).
class TimeSeriesStore {
 public:
  // Most raw rows and closed summaries kept in memory while flushes keep failing;
  // beyond it the oldest are dropped and counted in droppedRows().
  static constexpr std::size_t kMaxPendingRaw = 200'000;
  static constexpr std::size_t kMaxPendingSummaries = 50'000;
  static constexpr std::size_t kMaxPendingEvents = 10'000;

  // Opens the database at path (creating its folder and the file when missing), or an
  // in-memory database when path is absent. Throws StoreError when the file cannot be
  // opened, is in use by another running instance, is not a database, is damaged or is
  // another program's database (it holds tables other than ours); the file is then left
  // untouched, and no lock file is left beside it.
  explicit TimeSeriesStore(const std::optional<QString>& path, const RetentionPolicy& retention = {});
  ~TimeSeriesStore();
  TimeSeriesStore(const TimeSeriesStore&) = delete;
  TimeSeriesStore& operator=(const TimeSeriesStore&) = delete;

  std::optional<QString> path() const;

  RetentionPolicy retention() const;
  // Takes effect at the next flush, which then prunes.
  void setRetention(const RetentionPolicy& retention);

  // The sampling interval in seconds: the base step of raw series (2 until set).
  double rawInterval() const;
  void setRawInterval(double seconds);

  // Queues one tick's values, all stamped with `at`, and rolls them into the open
  // minute and hour summaries. Touches no file. Values that are not finite are skipped;
  // an invalid date appends nothing.
  void append(std::span<const MetricValue> values, const QDateTime& at);

  // Writes everything queued in one transaction, then prunes when due. Returns false
  // when the write failed; the queued rows then stay for the next flush. When the file
  // was deleted while open (its data folder removed), a new database is opened at the
  // path first and the queue goes there.
  bool flush(const QDateTime& now);

  // flush() for the sampling loop, which never waits: absent at once, writing nothing, while
  // another thread is using the database (an erase, a query) or another program holds its
  // write lock; the rows stay queued (bounded as above) for a later flush.
  std::optional<bool> flushUnlessBusy(const QDateTime& now);

  // Deletes rows older than the retention. Runs from flush; public for maintenance.
  bool prune(const QDateTime& now);

  // Drops everything queued and deletes all history and events.
  bool eraseAll();

  // Buckets of one metric over [from, to), about maxPoints of them, from the tier that
  // still holds the range (or the given one), with every stretch without data as a gap.
  // Flushes first. Never fails: a query that cannot run yields no points.
  Series series(MetricID metric, const QDateTime& from, const QDateTime& to, int maxPoints,
                std::optional<StoreTier> tier, const QDateTime& now);

  // Row counts, file size and the oldest hour summary; flushes first.
  StoreStatistics statistics();

  // Appends an event (its id is ignored) and returns the new row id, or absent when
  // the insert failed. Events that recordUnlessBusy queued are written first.
  std::optional<std::int64_t> record(const StoredEvent& event);

  // record() for the sampling loop, which never waits: while another thread uses the database
  // or another program holds its write lock, the event is queued (bounded, the oldest dropped
  // first) and written, in order, by the next record, flush or event query.
  void recordUnlessBusy(const StoredEvent& event);

  // Events of the given kinds with from <= date <= to, newest first, at most limit.
  // Use StoreTime::distantPast() and distantFuture() for all time.
  std::vector<StoredEvent> events(const std::vector<EventKind>& kinds, const QDateTime& from,
                                  const QDateTime& to, int limit);
  bool deleteEvent(std::int64_t id);
  bool deleteEvents(const std::vector<EventKind>& kinds);

  // The message of the latest failed statement; cleared by the next successful flush.
  std::optional<QString> lastError() const;
  // Queued rows (raw rows and summaries) dropped because flushes kept failing.
  std::uint64_t droppedRows() const;
  // Both of the above with the failure's result code and what still waits to be written, read
  // at once.
  StoreWriteStatus writeStatus() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> d;
};

}  // namespace kivo
