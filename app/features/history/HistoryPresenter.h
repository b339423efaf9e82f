#pragma once

#include "collectors/SensorCapability.h"
#include "design/MetricFamily.h"
#include "metrics/Metric.h"
#include "metrics/ValueFormatter.h"
#include "model/HistoryRange.h"
#include "storage/RetentionPolicy.h"
#include "storage/Series.h"
#include "storage/StoreStatistics.h"
#include "storage/StoredEvent.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace kivo {

// The decisions of the history page, without a display: which metrics are offered and loaded,
// and every text the page and its cards show.
namespace HistoryPresenter {

// Buckets asked of the store per series, and bookmarks listed per range.
inline constexpr int kMaxPoints = 480;
inline constexpr int kMaxBookmarks = 500;

// "<range>|<primary>|<secondary or 0>|<events revision>": a new one asks for a load.
QString loadIdentity(HistoryRange range, MetricID primary, std::optional<MetricID> secondary,
                     std::int64_t revision);

// The metrics to load, primary first; a comparison equal to the primary is left out.
std::vector<MetricID> metricsToLoad(MetricID primary, std::optional<MetricID> secondary);

// The pickers' groups: one per family that has metrics, families and metrics in their order.
struct MetricGroup {
  MetricFamily family;
  std::vector<MetricID> metrics;
};
std::vector<MetricGroup> metricGroups();
// "CPU", "GPU", "Memory", ... localised.
QString familyName(MetricFamily family);
// The metric's catalogue name, localised.
QString metricName(MetricID metric);

// "Collected locally since <date>", or the fixed text without an earliest date.
QString subtitle(const std::optional<StoreStatistics>& statistics, const ValueFormatter& format);
// Shown in place of the charts while there is no history to read.
QString unavailable(const std::optional<QString>& error);
// What stands in place of the charts before the history is open: while it is still opening (no
// store and no error yet), that it is opening; once an attempt failed, why it is not available.
// Absent once it is open.
std::optional<QString> notOpenText(bool open, const std::optional<QString>& error);
// The bookmarks card without a bookmark: where to add one, or, while no history is open (and the
// toolbar's bookmark button is off), why none can be added.
QString noBookmark(bool historyOpen);
// While the history is open but its latest flush failed: that failure; absent otherwise.
std::optional<QString> writeFailure(bool historyOpen, const std::optional<QString>& error);

// The value text of a metric (AlertText's wording).
QString valueText(double value, MetricID metric, const ValueFormatter& format);

// Minimum, Average, Maximum, Samples, Resolution, Gaps; absent values show as "—". A metric this
// computer never produces has no gaps to count: the monitor was not away, there was nothing.
struct Statistic {
  const char* label;
  std::optional<QString> value;
};
std::array<Statistic, 6> statistics(const Series& series, const ValueFormatter& format,
                                    bool producible = true);
// Whether a card draws its chart: not for a metric this computer never produces while it has no
// point (a 0–1 axis over a range shaded as one gap would be made up).
bool drawsChart(const Series& series, bool producible);
// "<n> · <summed duration>", or "None".
QString gapsText(const Series& series, const ValueFormatter& format);

// The line under a chart: the nearest point to the pointer, or the hint.
struct Readout {
  QString text;
  bool hint = true;
};
Readout readout(const Series& series, std::optional<double> hover, const ValueFormatter& format);
// The chart's spoken value; emptyText(...) when the series has no point.
QString summary(const Series& series, const ValueFormatter& format, bool producible = true);
// Whether this computer can produce the metric at all, by its capability row (battery,
// thermal state, GPU utilisation, ...). Metrics without such a row always can.
bool producible(MetricID metric, const std::vector<SensorCapability>& capabilities);
// What an empty chart says: no sample in the range yet, or a figure this computer never has.
QString emptyText(bool producible);

// The bookmark's note, or "No note".
QString bookmarkNote(const StoredEvent& bookmark);
// "Every sample is kept for ..." with the retention in force.
QString retentionText(const RetentionPolicy& retention, const ValueFormatter& format);

}  // namespace HistoryPresenter

}  // namespace kivo
