#pragma once

#include "analysis/Finding.h"
#include "metrics/Metric.h"
#include "reporting/ReportKind.h"
#include "reporting/ReportTable.h"
#include "storage/Series.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

namespace kivo {

// A JSON report that cannot be read back; the message says where and why.
class ReportFormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One metric of a report: its catalogue row, the summary of its stored series and the series itself.
struct ReportSeriesSummary {
  MetricID metric = MetricID::cpuTotal;
  QString name;  // localised catalogue name
  MetricUnit unit = MetricUnit::percent;
  MetricQuality quality = MetricQuality::measured;
  QString source;
  QString method;
  StoreTier tier = StoreTier::raw;
  double step = 0;
  std::int64_t sampleCount = 0;
  std::optional<double> minimum;
  std::optional<double> average;
  std::optional<double> maximum;
  std::vector<SeriesGap> gaps;
  std::vector<SeriesPoint> points;
};

// A self-contained snapshot of one period: machine, metric summaries, tables, findings, limitations.
struct Report {
  ReportKind kind = ReportKind::system;
  QString title;
  QDateTime generated;
  QDateTime from;
  QDateTime to;
  double samplingInterval = 0;
  QList<QStringList> system;  // [item, value] rows
  std::vector<ReportSeriesSummary> series;
  std::vector<ReportTable> tables;
  std::vector<Finding> findings;
  QStringList limitations;
  QString appVersion;

  // The exported JSON form: sorted keys, two-space indentation, ISO 8601 UTC dates.
  // Throws JsonEncodingError when a number is not finite.
  QByteArray toJson() const;
  // Strict: a missing key, a wrong type, an unknown enumeration text or metric number, or a
  // non-finite number throws ReportFormatError. Unknown keys are ignored.
  static Report fromJson(const QByteArray& json);
};

}  // namespace kivo
