#pragma once

#include "metrics/Metric.h"
#include "model/HistoryRange.h"
#include "storage/Series.h"
#include "storage/StoredEvent.h"

#include <QDateTime>

#include <optional>
#include <vector>

namespace kivo {

class TimeSeriesStore;

// One finished load of the history page: the series (primary first) and the bookmarks (newest
// first) of a range, with the range and its end as they were when it was asked for, so the page
// draws and exports what it loaded even after the choices have moved on.
struct HistoryLoad {
  bool loaded = false;  // false for the empty result of a model without a history
  HistoryRange range = HistoryRange::hour;
  double from = 0;  // seconds since 1970
  double to = 0;
  std::vector<Series> series;
  std::vector<StoredEvent> bookmarks;

  // The bookmark instants, in list order.
  std::vector<double> bookmarkTimes() const;

  // The store work of one load (runs on the model's worker): each metric over [to - range, to),
  // at most 480 buckets, tier chosen by the store, then the newest 500 bookmarks of the range.
  static HistoryLoad read(TimeSeriesStore& store, HistoryRange range, const std::vector<MetricID>& metrics,
                          const QDateTime& to);
};

}  // namespace kivo
