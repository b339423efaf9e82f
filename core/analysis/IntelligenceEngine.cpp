#include "analysis/IntelligenceEngine.h"

#include "analysis/Detectors.h"
#include "analysis/EventPayload.h"
#include "storage/StoreTime.h"
#include "storage/TimeSeriesStore.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace kivo::IntelligenceEngine {

namespace {

constexpr double kDay = 86400;

std::int64_t sampleSum(std::span<const SeriesPoint> points) {
  std::int64_t sum = 0;
  for (const SeriesPoint& p : points) sum += p.count;
  return sum;
}

Finding episodeFinding(FindingKind kind, Severity severity, MetricID metric, const Episode& episode,
                       double threshold) {
  Finding finding;
  finding.kind = kind;
  finding.severity = severity;
  finding.metric = metric;
  finding.start = StoreTime::date(episode.start);
  finding.end = StoreTime::date(episode.end);
  finding.threshold = threshold;
  finding.peak = episode.peak;
  finding.mean = episode.mean;
  finding.sampleCount = episode.samples;
  return finding;
}

void sustainedCPU(const Series& series, const IntelligenceThresholds& t, std::vector<Finding>& out) {
  const double minimum = t.cpuMinutes * 60;
  for (const Episode& e : Detectors::sustained(series.points, series.step, t.cpuPercent, minimum)) {
    const Severity severity = e.duration() >= t.cpuMinutes * 3 * 60 ? Severity::critical : Severity::warning;
    out.push_back(episodeFinding(FindingKind::sustainedCPU, severity, MetricID::cpuTotal, e, t.cpuPercent));
  }
}

void memoryPressure(const Series& series, const IntelligenceThresholds& t, std::vector<Finding>& out) {
  for (const Episode& e : Detectors::sustained(series.points, series.step, 0.5, t.pressureMinutes * 60)) {
    const Severity severity = e.peak >= 2 ? Severity::critical : Severity::warning;
    out.push_back(episodeFinding(FindingKind::memoryPressure, severity, MetricID::memPressure, e, 1.0));
  }
}

void swapGrowth(const Series& series, const IntelligenceThresholds& t, std::vector<Finding>& out) {
  const auto& points = series.points;
  if (points.size() < 3 || !std::isfinite(t.swapGrowthBytes)) return;
  const double growth = points.back().avg - points.front().avg;
  if (!(growth >= t.swapGrowthBytes)) return;
  Finding finding;
  finding.kind = FindingKind::swapGrowth;
  finding.severity = Severity::warning;
  finding.metric = MetricID::swapUsed;
  finding.start = StoreTime::date(points.front().time);
  finding.end = StoreTime::date(points.back().time + series.step);
  finding.threshold = t.swapGrowthBytes;
  finding.peak = std::max_element(points.begin(), points.end(), [](const SeriesPoint& a, const SeriesPoint& b) {
                   return a.max < b.max;
                 })->max;
  finding.mean = growth;
  finding.sampleCount = sampleSum(points);
  out.push_back(finding);
}

void diskExhaustion(const Series& series, double now, const IntelligenceThresholds& t, std::vector<Finding>& out) {
  const auto& points = series.points;
  if (points.empty() || !std::isfinite(t.diskHorizonDays)) return;
  const auto result = Detectors::exhaustion(points, now, 21600);
  if (!result || !(result->date - now <= t.diskHorizonDays * kDay)) return;
  Finding finding;
  finding.kind = FindingKind::diskExhaustion;
  finding.severity = (result->date - now) / kDay <= 7 ? Severity::critical : Severity::warning;
  finding.metric = MetricID::diskFree;
  finding.start = StoreTime::date(points.front().time);
  finding.end = StoreTime::date(points.back().time + series.step);
  finding.threshold = t.diskHorizonDays;
  finding.peak = points.back().avg;
  finding.mean = result->bytesPerDay;
  finding.sampleCount = sampleSum(points);
  finding.projected = StoreTime::date(result->date);
  out.push_back(finding);
}

void networkAnomaly(const Series& series, const IntelligenceThresholds& t, std::vector<Finding>& out) {
  const auto anomalous = Detectors::anomalies(series.points, t.networkFloor, 8);
  if (anomalous.empty()) return;
  std::vector<double> averages;
  averages.reserve(series.points.size());
  for (const SeriesPoint& p : series.points) averages.push_back(p.avg);
  double peak = anomalous.front().max;
  double sum = 0;
  for (const SeriesPoint& p : anomalous) {
    peak = std::max(peak, p.max);
    sum += p.avg;
  }
  Finding finding;
  finding.kind = FindingKind::networkAnomaly;
  finding.severity = Severity::info;
  finding.metric = series.metric;
  finding.start = StoreTime::date(anomalous.front().time);
  finding.end = StoreTime::date(anomalous.back().time + series.step);
  finding.threshold = Detectors::median(averages).value_or(0);
  finding.peak = peak;
  finding.mean = sum / static_cast<double>(anomalous.size());
  finding.sampleCount = sampleSum(anomalous);
  finding.occurrences = static_cast<std::int64_t>(anomalous.size());
  out.push_back(finding);
}

void thermalPressure(const Series& series, std::vector<Finding>& out) {
  for (const Episode& e : Detectors::sustained(series.points, series.step, 1.5, 60)) {
    const Severity severity = e.peak >= 3 ? Severity::critical : Severity::warning;
    out.push_back(episodeFinding(FindingKind::thermalPressure, severity, MetricID::thermalState, e, 2.0));
  }
}

void processSpikes(const std::vector<StoredEvent>& events, const IntelligenceThresholds& t,
                   std::vector<Finding>& out) {
  struct Group {
    std::int64_t count = 0;
    QDateTime earliest;
    QDateTime latest;
    double peak = 0;
    double peakSum = 0;
    std::int64_t peaks = 0;
  };
  // Keyed by name, so findings of one end come in name order.
  std::map<QString, Group> groups;
  const QString spikeCode = QStringLiteral("process.spike");
  const QString nameKey = QStringLiteral("name");
  const QString peakKey = QStringLiteral("peak");
  for (const StoredEvent& event : events) {
    if (event.code != spikeCode || !event.date.isValid()) continue;
    const QString name = event.payload.value(nameKey);
    if (name.isEmpty()) continue;
    Group& group = groups[name];
    if (group.count == 0 || event.date < group.earliest) group.earliest = event.date;
    if (group.count == 0 || event.date > group.latest) group.latest = event.date;
    ++group.count;
    const auto it = event.payload.constFind(peakKey);
    if (it != event.payload.constEnd()) {
      if (const auto peak = EventPayload::parseDecimal(*it)) {
        group.peak = group.peaks == 0 ? *peak : std::max(group.peak, *peak);
        group.peakSum += *peak;
        ++group.peaks;
      }
    }
  }
  for (const auto& [name, group] : groups) {
    if (group.count < t.processEpisodes) continue;
    Finding finding;
    finding.kind = FindingKind::processSpikes;
    finding.severity = Severity::info;
    finding.metric = MetricID::cpuTotal;
    finding.start = group.earliest;
    finding.end = group.latest;
    finding.threshold = static_cast<double>(t.processEpisodes);
    finding.peak = group.peaks > 0 ? group.peak : 0;
    finding.mean = group.peaks > 0 ? group.peakSum / static_cast<double>(group.peaks) : 0;
    finding.sampleCount = group.count;
    finding.subject = name;
    finding.occurrences = group.count;
    out.push_back(finding);
  }
}

}  // namespace

std::vector<Finding> analyse(const Inputs& inputs, const IntelligenceThresholds& thresholds) {
  std::vector<Finding> out;
  if (inputs.cpu) sustainedCPU(*inputs.cpu, thresholds, out);
  if (inputs.pressure) memoryPressure(*inputs.pressure, thresholds, out);
  if (inputs.swap) swapGrowth(*inputs.swap, thresholds, out);
  if (inputs.diskFree && inputs.now.isValid()) {
    diskExhaustion(*inputs.diskFree, StoreTime::seconds(inputs.now), thresholds, out);
  }
  if (inputs.netDown) networkAnomaly(*inputs.netDown, thresholds, out);
  if (inputs.netUp) networkAnomaly(*inputs.netUp, thresholds, out);
  if (inputs.thermal) thermalPressure(*inputs.thermal, out);
  processSpikes(inputs.spikes, thresholds, out);
  std::stable_sort(out.begin(), out.end(), [](const Finding& a, const Finding& b) {
    if (a.severity != b.severity) return a.severity > b.severity;
    return a.end > b.end;
  });
  return out;
}

std::vector<Finding> findings(TimeSeriesStore& store, double window, const IntelligenceThresholds& thresholds,
                              const QDateTime& now) {
  // A window beyond thousands of years is as invalid as NaN: it cannot become a date.
  if (!std::isfinite(window) || std::fabs(window) > 1e11 || !now.isValid()) return {};
  const QDateTime start = now.addMSecs(-static_cast<qint64>(std::llround(window * 1000.0)));
  const auto query = [&](MetricID metric, const QDateTime& from, StoreTier tier) {
    return store.series(metric, from, now, 2000, tier, now);
  };
  Inputs inputs;
  inputs.cpu = query(MetricID::cpuTotal, start, StoreTier::minute);
  inputs.pressure = query(MetricID::memPressure, start, StoreTier::minute);
  inputs.swap = query(MetricID::swapUsed, start, StoreTier::minute);
  inputs.diskFree = query(MetricID::diskFree, now.addSecs(-1209600), StoreTier::hour);
  inputs.netDown = query(MetricID::netDown, start, StoreTier::minute);
  inputs.netUp = query(MetricID::netUp, start, StoreTier::minute);
  inputs.thermal = query(MetricID::thermalState, start, StoreTier::minute);
  inputs.spikes = store.events({EventKind::process}, start, now, 2000);
  inputs.now = now;
  return analyse(inputs, thresholds);
}

}  // namespace kivo::IntelligenceEngine
