#include "storage/StoreTime.h"
#include "storage/TimeSeriesStoreImpl.h"

// The write path: one tick's values queued and rolled into the open minute and hour
// summaries, and the flush that writes them in one transaction.

namespace kivo {

using namespace StoreDetail;

void TimeSeriesStore::Impl::rollUp(std::array<std::optional<Bucket>, kMetricCount>& buckets, StoreTier tier,
                                   MetricID metric, double start, double value) {
  std::optional<Bucket>& open = buckets[static_cast<std::size_t>(Metric::index(metric))];
  // What a period left behind gathered since the last flush is written at the next flush.
  if (const auto closed = StoreDetail::rollUp(open, start, value))
    closedBuckets.push_back({tier, metric, *closed});
}

void TimeSeriesStore::Impl::appendLocked(std::span<const MetricValue> values, double t) {
  if (values.empty() || !std::isfinite(t)) return;
  const std::int64_t ms = rounded(t * 1000.0);
  const double minuteStart = periodStart(t, kMinuteSeconds);
  const double hourStart = periodStart(t, kHourSeconds);
  for (const MetricValue& value : values) {
    if (!std::isfinite(value.value)) continue;
    pendingRaw.push_back({Metric::rawValue(value.metric), ms, value.value});
    rollUp(minuteBuckets, StoreTier::minute, value.metric, minuteStart, value.value);
    rollUp(hourBuckets, StoreTier::hour, value.metric, hourStart, value.value);
  }
  dropOldest();
}

void TimeSeriesStore::Impl::dropOldest() {
  if (pendingRaw.size() > kMaxPendingRaw) {
    const std::size_t excess = pendingRaw.size() - kMaxPendingRaw;
    pendingRaw.erase(pendingRaw.begin(), pendingRaw.begin() + static_cast<std::ptrdiff_t>(excess));
    dropped += excess;
  }
  if (closedBuckets.size() > kMaxPendingSummaries) {
    const std::size_t excess = closedBuckets.size() - kMaxPendingSummaries;
    closedBuckets.erase(closedBuckets.begin(), closedBuckets.begin() + static_cast<std::ptrdiff_t>(excess));
    dropped += excess;
  }
}

// Moves the queue into the writer's buffers (the open periods' samples so far, too,
// leaving those periods open and empty). False when there is nothing to write.
bool TimeSeriesStore::Impl::takeQueued() {
  std::lock_guard state(stateMutex);
  std::swap(writingRaw, pendingRaw);
  std::swap(writingSummaries, closedBuckets);
  for (StoreTier tier : {StoreTier::minute, StoreTier::hour}) {
    auto& open = tier == StoreTier::minute ? minuteBuckets : hourBuckets;
    for (std::size_t i = 0; i < open.size(); ++i) {
      if (const auto taken = takeSamples(open[i]))
        writingSummaries.push_back({tier, Metric::allCases()[i], *taken});
    }
  }
  return !writingRaw.empty() || !writingSummaries.empty();
}

// Puts what a failed flush took back in front of what was appended meanwhile.
void TimeSeriesStore::Impl::restoreQueued() {
  std::lock_guard state(stateMutex);
  writingRaw.insert(writingRaw.end(), pendingRaw.begin(), pendingRaw.end());
  std::swap(writingRaw, pendingRaw);
  writingRaw.clear();

  std::size_t kept = 0;
  for (const ClosedBucket& taken : writingSummaries) {
    auto& open = taken.tier == StoreTier::minute ? minuteBuckets : hourBuckets;
    std::optional<Bucket>& current = open[static_cast<std::size_t>(Metric::index(taken.metric))];
    // A period still open takes its samples back; those of a closed one stay queued.
    if (!putBack(current, taken.bucket)) writingSummaries[kept++] = taken;
  }
  writingSummaries.resize(kept);
  writingSummaries.insert(writingSummaries.end(), closedBuckets.begin(), closedBuckets.end());
  std::swap(writingSummaries, closedBuckets);
  writingSummaries.clear();
  dropOldest();
}

bool TimeSeriesStore::Impl::writeQueued() {
  if (connection().exec("BEGIN IMMEDIATE") != SQLITE_OK) {
    failSql("cannot begin writing history");
    return false;
  }

  auto abort = [this](const char* what) {
    failSql(what);
    rollback();
    return false;
  };

  {
    SQLiteStatement& insertRaw = database->insertRaw;
    StatementReset guard(insertRaw);
    for (const PendingRaw& row : writingRaw) {
      insertRaw.bind(1, static_cast<std::int64_t>(row.metric));
      insertRaw.bind(2, row.ms);
      insertRaw.bind(3, row.value);
      if (insertRaw.step() != SQLITE_DONE) return abort("cannot write raw samples");
      insertRaw.reset();
    }
  }

  for (StoreTier tier : {StoreTier::minute, StoreTier::hour}) {
    SQLiteStatement& statement = tier == StoreTier::minute ? database->mergeMinute : database->mergeHour;
    StatementReset guard(statement);
    for (const ClosedBucket& summary : writingSummaries) {
      if (summary.tier != tier || summary.bucket.count <= 0) continue;
      const Bucket& bucket = summary.bucket;
      statement.bind(1, static_cast<std::int64_t>(Metric::rawValue(summary.metric)));
      statement.bind(2, truncated(bucket.start));
      statement.bind(3, bucket.min);
      statement.bind(4, bucket.max);
      statement.bind(5, bucket.mean());
      statement.bind(6, bucket.count);
      const int rc = statement.step();
      statement.reset();
      if (rc != SQLITE_DONE) return abort("cannot write summaries");
    }
  }

  if (connection().exec("COMMIT") != SQLITE_OK) return abort("cannot commit history");
  writingRaw.clear();
  writingSummaries.clear();
  return true;
}

bool TimeSeriesStore::Impl::flushLocked(double now) {
  if (!replaceIfDeleted()) return false;
  writePendingEventsLocked();
  if (takeQueued() && !writeQueued()) {
    restoreQueued();
    return false;  // the database is not writable now: no prune either
  }
  {
    std::lock_guard state(stateMutex);
    lastError.reset();
    lastErrorCode = 0;
    if (std::exchange(retentionChanged, false)) lastPrune = 0;
  }
  // Also when the clock went back behind the last prune, or it would wait for the clock to catch up.
  if (std::isfinite(now) && (lastPrune == 0 || now - lastPrune > kPruneInterval || now < lastPrune)) {
    return pruneLocked(now);
  }
  return true;
}

void TimeSeriesStore::append(std::span<const MetricValue> values, const QDateTime& at) {
  const double t = StoreTime::seconds(at);
  std::lock_guard state(d->stateMutex);
  d->appendLocked(values, t);
}

bool TimeSeriesStore::flush(const QDateTime& now) {
  const double n = StoreTime::seconds(now);
  std::lock_guard connection(d->connectionMutex);
  return d->flushLocked(n);
}

std::optional<bool> TimeSeriesStore::flushUnlessBusy(const QDateTime& now) {
  const double n = StoreTime::seconds(now);
  std::unique_lock connection(d->connectionMutex, std::try_to_lock);
  if (!connection.owns_lock()) return std::nullopt;
  // Another program holding the write lock would make each statement wait out the busy
  // timeout on the sampling thread: fail at once instead, and keep the rows for later.
  sqlite3_busy_timeout(d->db(), 0);
  const bool written = d->flushLocked(n);
  sqlite3_busy_timeout(d->db(), kBusyTimeoutMs);
  if (!written) {
    std::lock_guard state(d->stateMutex);
    if (d->lastErrorCode == SQLITE_BUSY) return std::nullopt;
  }
  return written;
}

}  // namespace kivo
