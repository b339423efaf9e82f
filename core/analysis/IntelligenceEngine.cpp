#include "analysis/IntelligenceEngine.h"

#include "analysis/Detectors.h"
#include "analysis/EventPayload.h"
#include "storage/StoreTime.h"
#include "storage/TimeSeriesStore.h"

#include <QTimeZone>

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
  finding.peak =
      std::max_element(points.begin(), points.end(), [](const SeriesPoint& a, const SeriesPoint& b) {
        return a.max < b.max;
      })->max;
  finding.mean = growth;
  finding.sampleCount = sampleSum(points);
  out.push_back(finding);
}

void diskExhaustion(const Series& series, std::optional<double> firstSample, double now,
                    const IntelligenceThresholds& t, std::vector<Finding>& out) {
  const auto& points = series.points;
  if (points.empty() || !std::isfinite(t.diskHorizonDays)) return;
  const auto result = Detectors::exhaustion(points, now, 21600);
  if (!result || !(result->date - now <= t.diskHorizonDays * kDay)) return;
  Finding finding;
  finding.kind = FindingKind::diskExhaustion;
  finding.severity = (result->date - now) / kDay <= 7 ? Severity::critical : Severity::warning;
  finding.metric = MetricID::diskFree;
  // The history used runs from the first sample to the analysis, not from one hour bucket's top
  // to the next one's.
  const double bucket = points.front().time;
  const bool inFirstBucket = firstSample && *firstSample >= bucket && *firstSample < bucket + series.step;
  finding.start = StoreTime::date(inFirstBucket ? *firstSample : bucket);
  finding.end = StoreTime::date(std::min(points.back().time + series.step, now));
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

// Spikes of processes of one name that overlap in time are one occasion: a parallel build or
// eight workers started together held the cores once, not eight times.
void processSpikes(const std::vector<StoredEvent>& events, const IntelligenceThresholds& t,
                   std::vector<Finding>& out) {
  struct Spike {
    qint64 start = 0;  // milliseconds since 1970
    qint64 end = 0;
    std::optional<double> peak;
  };
  // Keyed by name, so findings of one end come in name order.
  std::map<QString, std::vector<Spike>> byName;
  const QString spikeCode = QStringLiteral("process.spike");
  const QString nameKey = QStringLiteral("name");
  const QString peakKey = QStringLiteral("peak");
  const QString durationKey = QStringLiteral("duration");
  for (const StoredEvent& event : events) {
    if (event.code != spikeCode || !event.date.isValid()) continue;
    const QString name = event.payload.value(nameKey);
    if (name.isEmpty()) continue;
    Spike spike;
    spike.start = event.date.toMSecsSinceEpoch();
    // A spike without a readable duration is an instant; a hostile one cannot stretch past a day.
    const auto duration = EventPayload::parseDecimal(event.payload.value(durationKey));
    const double seconds = duration && *duration > 0 ? std::min(*duration, kDay) : 0.0;
    spike.end = spike.start + static_cast<qint64>(std::llround(seconds * 1000.0));
    const auto it = event.payload.constFind(peakKey);
    if (it != event.payload.constEnd()) spike.peak = EventPayload::parseDecimal(*it);
    byName[name].push_back(spike);
  }
  for (auto& [name, spikes] : byName) {
    std::sort(spikes.begin(), spikes.end(), [](const Spike& a, const Spike& b) { return a.start < b.start; });
    // Occasions: spikes merged where they overlap or touch. Within one, the most processes at once
    // is found by sweeping the starts and ends in time order; at one instant an end comes before a
    // start, so a spike that begins as another ends never ran beside it.
    std::int64_t occasions = 0;
    std::int64_t mostAtOnce = 0;
    std::vector<std::pair<qint64, int>> edges;
    qint64 occasionEnd = 0;
    const auto closeOccasion = [&] {
      std::sort(edges.begin(), edges.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second < b.second;
      });
      std::int64_t running = 0;
      for (const auto& [time, delta] : edges) {
        running += delta;
        mostAtOnce = std::max(mostAtOnce, running);
      }
      edges.clear();
    };
    qint64 latest = 0;
    double peak = 0;
    double peakSum = 0;
    std::int64_t peaks = 0;
    for (const Spike& spike : spikes) {
      if (occasions == 0 || spike.start > occasionEnd) {
        closeOccasion();
        ++occasions;
        occasionEnd = spike.end;
      } else {
        occasionEnd = std::max(occasionEnd, spike.end);
      }
      edges.emplace_back(spike.start, 1);
      edges.emplace_back(spike.end, -1);
      latest = std::max(latest, spike.end);
      if (spike.peak) {
        peak = peaks == 0 ? *spike.peak : std::max(peak, *spike.peak);
        peakSum += *spike.peak;
        ++peaks;
      }
    }
    closeOccasion();
    if (occasions < t.processEpisodes) continue;
    Finding finding;
    finding.kind = FindingKind::processSpikes;
    finding.severity = Severity::info;
    finding.metric = MetricID::cpuTotal;
    finding.start = QDateTime::fromMSecsSinceEpoch(spikes.front().start, QTimeZone::utc());
    finding.end = QDateTime::fromMSecsSinceEpoch(latest, QTimeZone::utc());
    finding.threshold = static_cast<double>(t.processEpisodes);
    finding.peak = peak;
    finding.mean = peaks > 0 ? peakSum / static_cast<double>(peaks) : 0;
    finding.sampleCount = static_cast<std::int64_t>(spikes.size());
    finding.subject = name;
    finding.occurrences = occasions;
    if (mostAtOnce > 1) finding.concurrent = mostAtOnce;
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
    diskExhaustion(*inputs.diskFree, inputs.diskFirstSample, StoreTime::seconds(inputs.now), thresholds, out);
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
  if (!inputs.diskFree->points.empty()) {
    // The first hour once more, from the finest tier that still holds it, for its first sample.
    const QDateTime hour = StoreTime::date(inputs.diskFree->points.front().time);
    for (const StoreTier tier : {StoreTier::raw, StoreTier::minute}) {
      const Series first = store.series(MetricID::diskFree, hour, hour.addSecs(3600), 3600, tier, now);
      if (!first.points.empty()) {
        inputs.diskFirstSample = first.points.front().time;
        break;
      }
    }
  }
  inputs.netDown = query(MetricID::netDown, start, StoreTier::minute);
  inputs.netUp = query(MetricID::netUp, start, StoreTier::minute);
  inputs.thermal = query(MetricID::thermalState, start, StoreTier::minute);
  inputs.spikes = store.events({EventKind::process}, start, now, 2000);
  inputs.now = now;
  return analyse(inputs, thresholds);
}

}  // namespace kivo::IntelligenceEngine
