#include "features/history/HistoryLoad.h"

#include "features/history/HistoryPresenter.h"
#include "storage/TimeSeriesStore.h"

#include <cmath>

namespace kivo {

std::vector<double> HistoryLoad::bookmarkTimes() const {
  std::vector<double> times;
  times.reserve(bookmarks.size());
  for (const StoredEvent& bookmark : bookmarks)
    times.push_back(static_cast<double>(bookmark.date.toMSecsSinceEpoch()) / 1000);
  return times;
}

HistoryLoad HistoryLoad::read(TimeSeriesStore& store, HistoryRange range,
                              const std::vector<MetricID>& metrics, const QDateTime& to) {
  HistoryLoad load;
  load.loaded = true;
  load.range = range;
  const QDateTime from = to.addSecs(-static_cast<qint64>(std::llround(HistoryRanges::seconds(range))));
  load.from = static_cast<double>(from.toMSecsSinceEpoch()) / 1000;
  load.to = static_cast<double>(to.toMSecsSinceEpoch()) / 1000;
  for (MetricID metric : metrics) {
    load.series.push_back(store.series(metric, from, to, HistoryPresenter::kMaxPoints, std::nullopt, to));
  }
  load.bookmarks = store.events({EventKind::bookmark}, from, to, HistoryPresenter::kMaxBookmarks);
  return load;
}

}  // namespace kivo
