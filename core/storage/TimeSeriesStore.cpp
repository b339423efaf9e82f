#include "storage/TimeSeriesStore.h"

#include "storage/TimeSeriesStoreImpl.h"

// The store's construction and its settings; opening, writing, pruning and queries live
// in TimeSeriesStoreOpen.cpp, TimeSeriesStoreWrite.cpp, TimeSeriesStorePrune.cpp and
// TimeSeriesStoreQuery.cpp.

namespace kivo {

TimeSeriesStore::TimeSeriesStore(const std::optional<QString>& path, const RetentionPolicy& retention)
    : d(std::make_unique<Impl>()) {
  if (path && !path->isEmpty()) d->path = *path;
  d->retention = retention;
  d->database = StoreDetail::openDatabase(d->path, d->lock);
  d->pendingRaw.reserve(1024);
  d->writingRaw.reserve(1024);
  d->writingSummaries.reserve(2 * kMetricCount);
}

TimeSeriesStore::~TimeSeriesStore() = default;

std::optional<QString> TimeSeriesStore::path() const {
  return d->path;
}

RetentionPolicy TimeSeriesStore::retention() const {
  return d->currentRetention();
}

void TimeSeriesStore::setRetention(const RetentionPolicy& retention) {
  std::lock_guard state(d->stateMutex);
  d->retention = retention;
  d->retentionChanged = true;
}

double TimeSeriesStore::rawInterval() const {
  std::lock_guard state(d->stateMutex);
  return d->rawInterval;
}

void TimeSeriesStore::setRawInterval(double seconds) {
  std::lock_guard state(d->stateMutex);
  d->rawInterval = seconds;
}

std::optional<QString> TimeSeriesStore::lastError() const {
  std::lock_guard state(d->stateMutex);
  return d->lastError;
}

StoreWriteStatus TimeSeriesStore::writeStatus() const {
  std::lock_guard state(d->stateMutex);
  return {d->lastError, d->lastErrorCode, d->pendingRaw.size(), d->dropped};
}

std::uint64_t TimeSeriesStore::droppedRows() const {
  std::lock_guard state(d->stateMutex);
  return d->dropped;
}

}  // namespace kivo