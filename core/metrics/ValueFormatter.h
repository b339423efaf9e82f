#pragma once

#include "metrics/Metric.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <cstdint>
#include <utility>

namespace kivo {

// Locale-bound texts of the figures every window, notification and report shows.
class ValueFormatter {
 public:
  explicit ValueFormatter(QLocale locale = QLocale()) : locale(std::move(locale)) {}

  // memory: 1024-based units (KiB, MiB); otherwise 1000-based (kB, MB).
  QString bytes(double value, bool memory) const;
  QString bytes(std::uint64_t value, bool memory) const;
  QString rate(double bytesPerSecond) const;
  // value in percent units: 50 means one half.
  QString percent(double value, int digits) const;
  QString number(double value, int digits) const;
  // The two largest non-zero units, abbreviated: "1 h 2 min".
  QString duration(double seconds) const;
  // "h:mm:ss", with "N d " in front from one day on. Not localised.
  QString clock(double seconds) const;
  QString temperature(double celsius) const;
  // Abbreviated date and standard time with seconds in the local zone. A time the clocks show
  // twice (the hour repeated when they go back) names its zone: "2:30:00 AM CEST".
  QString date(const QDateTime& date) const;
  // The two ends of a period as date() writes them; when the clocks change between them, both
  // name their zone, so that a day of 25 or 23 hours reads as one.
  std::pair<QString, QString> period(const QDateTime& from, const QDateTime& to) const;
  QString value(double value, MetricUnit unit) const;

  QLocale locale;

 private:
  QString date(const QDateTime& date, bool zone) const;
};

}  // namespace kivo
