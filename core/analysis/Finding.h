#pragma once

#include "analysis/FindingKind.h"
#include "metrics/Metric.h"
#include "storage/Severity.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <cstdint>
#include <optional>

namespace kivo {

// One pattern found in the stored history of a window.
struct Finding {
  FindingKind kind = FindingKind::sustainedCPU;
  Severity severity = Severity::info;
  MetricID metric = MetricID::cpuTotal;
  QDateTime start;
  QDateTime end;
  double threshold = 0;
  double peak = 0;
  double mean = 0;
  std::int64_t sampleCount = 0;
  std::optional<QString> subject;      // process name of a process-spike finding
  std::optional<QDateTime> projected;  // projected full date of a disk-exhaustion finding
  std::int64_t occurrences = 1;
  // Most processes of the subject's name that held a core at the same time; absent when never
  // more than one did.
  std::optional<std::int64_t> concurrent;

  bool operator==(const Finding&) const = default;

  // kind|start whole seconds (truncated toward zero)|subject|metric key. The
  // metric keeps apart findings of one kind on two metrics that start in the
  // same second (download and upload anomalies).
  QString id() const;
  double duration() const;  // seconds

  // Dates as ISO 8601 in UTC with whole seconds; "subject", "projected" and
  // "concurrent" left out when absent. Every other key required with its exact type.
  QJsonObject toJson() const;
  static std::optional<Finding> fromJson(const QJsonObject& object, QString* error = nullptr);
};

// A contiguous run of series points above a level.
struct Episode {
  double start = 0;  // first point's time, seconds since 1970
  double end = 0;    // last point's time plus one step
  double peak = 0;
  double mean = 0;
  std::int64_t samples = 0;

  bool operator==(const Episode&) const = default;
  double duration() const { return end - start; }
};

}  // namespace kivo
