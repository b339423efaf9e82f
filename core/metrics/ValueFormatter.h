#pragma once

#include "metrics/Metric.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <cstdint>

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
  QString date(const QDateTime& date) const;
  QString value(double value, MetricUnit unit) const;

  QLocale locale;
};

}  // namespace kivo
