#include "features/history/HistoryPresenter.h"
#include "metrics/OutsideText.h"

#include "features/history/HistoryChartGeometry.h"
#include "texts/AlertText.h"
#include "texts/Localized.h"

#include <QDateTime>

namespace kivo::HistoryPresenter {

QString loadIdentity(HistoryRange range, MetricID primary, std::optional<MetricID> secondary,
                     std::int64_t revision) {
  return HistoryRanges::rawValue(range) + QLatin1Char('|') + QString::number(Metric::rawValue(primary)) +
         QLatin1Char('|') + QString::number(secondary ? Metric::rawValue(*secondary) : 0) + QLatin1Char('|') +
         QString::number(revision);
}

std::vector<MetricID> metricsToLoad(MetricID primary, std::optional<MetricID> secondary) {
  std::vector<MetricID> metrics{primary};
  if (secondary && *secondary != primary) metrics.push_back(*secondary);
  return metrics;
}

std::vector<MetricGroup> metricGroups() {
  std::vector<MetricGroup> groups;
  for (MetricFamily family : MetricFamilies::all()) {
    MetricGroup group{family, {}};
    for (MetricID metric : Metric::allCases()) {
      if (MetricFamilies::of(metric) == family) group.metrics.push_back(metric);
    }
    if (!group.metrics.empty()) groups.push_back(std::move(group));
  }
  return groups;
}

QString familyName(MetricFamily family) {
  switch (family) {
    case MetricFamily::cpu:
      return tr("CPU");
    case MetricFamily::gpu:
      return tr("GPU");
    case MetricFamily::memory:
      return tr("Memory");
    case MetricFamily::disk:
      return tr("Disk");
    case MetricFamily::network:
      return tr("Network");
    case MetricFamily::power:
      return tr("Power");
    case MetricFamily::thermal:
      return tr("Thermal");
    case MetricFamily::system:
      return tr("System");
  }
  return {};
}

QString metricName(MetricID metric) {
  return translated(MetricCatalog::descriptor(metric).name);
}

QString subtitle(const std::optional<StoreStatistics>& statistics, const ValueFormatter& format) {
  if (statistics && statistics->earliest)
    return tr("Collected locally since %1", format.date(*statistics->earliest));
  return tr("Collected locally since KIVO Monitor was first opened");
}

QString unavailable(const std::optional<QString>& error) {
  return tr("History is not available: %1", error.value_or(tr("the history database is not open")));
}

std::optional<QString> notOpenText(bool open, const std::optional<QString>& error) {
  if (open) return std::nullopt;
  if (!error) return tr("Opening the history…");
  return unavailable(error);
}

QString noBookmark(bool historyOpen) {
  return historyOpen ? tr("No bookmark. Use the bookmark button in the toolbar to mark a moment worth coming "
                          "back to.")
                     : tr("No bookmark. No history is open, so a bookmark cannot be kept.");
}

std::optional<QString> writeFailure(bool historyOpen, const std::optional<QString>& error) {
  if (!historyOpen) return std::nullopt;
  return error;
}

QString valueText(double value, MetricID metric, const ValueFormatter& format) {
  return AlertText::formatted(value, metric, format);
}

QString gapsText(const Series& series, const ValueFormatter& format) {
  if (series.gaps.empty()) return tr("None");
  double total = 0;
  for (const SeriesGap& gap : series.gaps) total += gap.duration();
  return format.locale.toString(static_cast<qlonglong>(series.gaps.size())) + QStringLiteral(" · ") +
         format.duration(total);
}

bool drawsChart(const Series& series, bool producible) {
  return producible || !series.points.empty();
}

std::array<Statistic, 6> statistics(const Series& series, const ValueFormatter& format, bool producible) {
  const auto text = [&](std::optional<double> value) -> std::optional<QString> {
    if (!value) return std::nullopt;
    return valueText(*value, series.metric, format);
  };
  return {{
      {"Minimum", text(series.minimum())},
      {"Average", text(series.average())},
      {"Maximum", text(series.maximum())},
      {"Samples", format.locale.toString(static_cast<qlonglong>(series.sampleCount()))},
      {"Resolution", format.duration(series.step)},
      {"Gaps", drawsChart(series, producible) ? std::optional(gapsText(series, format)) : std::nullopt},
  }};
}

Readout readout(const Series& series, std::optional<double> hover, const ValueFormatter& format) {
  const std::optional<std::size_t> index =
      hover ? HistoryChartGeometry::nearestPoint(series, *hover) : std::nullopt;
  if (!index) return {tr("Move the pointer over the chart to read a point."), true};
  const SeriesPoint& point = series.points[*index];
  const auto value = [&](double v) { return valueText(v, series.metric, format); };
  return {format.date(point.date()) + QStringLiteral(" — ") + tr("Average") + QLatin1Char(' ') +
              value(point.avg) + QStringLiteral(" · ") + tr("Minimum") + QLatin1Char(' ') + value(point.min) +
              QStringLiteral(" · ") + tr("Maximum") + QLatin1Char(' ') + value(point.max),
          false};
}

QString summary(const Series& series, const ValueFormatter& format, bool producible) {
  const auto minimum = series.minimum();
  const auto average = series.average();
  const auto maximum = series.maximum();
  if (!minimum || !average || !maximum) return emptyText(producible);
  const auto value = [&](double v) { return valueText(v, series.metric, format); };
  const QString gaps =
      series.gaps.size() == 1 ? tr("1 gap") : tr("%1 gaps", QString::number(series.gaps.size()));
  return tr("Minimum") + QLatin1Char(' ') + value(*minimum) + QStringLiteral(", ") + tr("Average") +
         QLatin1Char(' ') + value(*average) + QStringLiteral(", ") + tr("Maximum") + QLatin1Char(' ') +
         value(*maximum) + QStringLiteral(". ") + gaps + QLatin1Char('.');
}

bool producible(MetricID metric, const std::vector<SensorCapability>& capabilities) {
  const char* id = nullptr;
  switch (metric) {
    case MetricID::batteryCharge:
      id = "power.battery";
      break;
    case MetricID::batteryPower:
      id = "power.flow";
      break;
    case MetricID::batteryTemperature:
      id = "battery.temperature";
      break;
    case MetricID::thermalState:
      id = "thermal.state";
      break;
    case MetricID::gpuUtilization:
      id = "gpu.utilization";
      break;
    case MetricID::memPressure:
      id = "memory.pressure";
      break;
    default:
      return true;
  }
  for (const SensorCapability& capability : capabilities) {
    if (capability.id == QLatin1String(id)) return capability.present;
  }
  return true;
}

QString emptyText(bool producible) {
  return producible ? tr("No stored sample in this range yet.") : tr("Not available on this computer.");
}

QString bookmarkNote(const StoredEvent& bookmark) {
  const QString note = bookmark.payload.value(QStringLiteral("note"));
  return note.isEmpty() ? tr("No note") : OutsideText::visible(note);
}

QString retentionText(const RetentionPolicy& retention, const ValueFormatter& format) {
  return tr(
      "Every sample is kept for %1, one-minute summaries (minimum, average, maximum) for %2 and one-hour "
      "summaries for %3. Longer ranges are drawn from the coarser tiers. History only covers periods when "
      "KIVO Monitor was running; those holes are shaded, never filled in.",
      format.duration(retention.raw), format.duration(retention.minute), format.duration(retention.hour));
}

}  // namespace kivo::HistoryPresenter
