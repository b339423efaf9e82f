#pragma once

#include "metrics/Metric.h"
#include "storage/StoreTier.h"

#include <QDateTime>
#include <QJsonObject>

#include <cstdint>
#include <optional>
#include <vector>

namespace kivo {

// One bucket of a series query.
struct SeriesPoint {
  double time = 0;  // bucket start, seconds since 1970
  double min = 0;
  double max = 0;
  double avg = 0;
  std::int64_t count = 0;  // samples in the bucket

  bool operator==(const SeriesPoint&) const = default;
  QDateTime date() const;

  QJsonObject toJson() const;
  static std::optional<SeriesPoint> fromJson(const QJsonObject& object);
};

// A stretch without data, seconds since 1970; always start < end.
struct SeriesGap {
  double start = 0;
  double end = 0;

  bool operator==(const SeriesGap&) const = default;
  double duration() const { return end - start; }

  QJsonObject toJson() const;
  static std::optional<SeriesGap> fromJson(const QJsonObject& object);
};

// Result of TimeSeriesStore::series: points ascending by time, at most one per step;
// gaps ascending. Charts break their line at every gap and never join across it.
struct Series {
  MetricID metric = MetricID::cpuTotal;
  StoreTier tier = StoreTier::raw;
  double step = 0;  // seconds, as chosen (not rounded to milliseconds)
  std::vector<SeriesPoint> points;
  std::vector<SeriesGap> gaps;

  // Sum of the points' counts.
  std::int64_t sampleCount() const;
  std::optional<double> minimum() const;
  std::optional<double> maximum() const;
  // Mean weighted by each point's count; absent without points or counts.
  std::optional<double> average() const;

  // Keys are the field names; metric as its raw value, tier as its name.
  QJsonObject toJson() const;
  static std::optional<Series> fromJson(const QJsonObject& object);
};

}  // namespace kivo
