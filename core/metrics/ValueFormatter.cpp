#include "metrics/ValueFormatter.h"

#include <QTimeZone>

#include <cmath>
#include <limits>

namespace kivo {

namespace {

// Negative and NaN become 0; the fraction is dropped; values beyond 64 bits saturate.
std::int64_t cleanCount(double value) {
  if (!(value >= 0)) return 0;
  if (value >= 9.2e18) return std::numeric_limits<std::int64_t>::max();
  return static_cast<std::int64_t>(value);
}

// Rounds halves away from zero; negative and NaN become 0.
std::int64_t cleanSeconds(double seconds) {
  const double rounded = std::round(seconds);
  if (!(rounded >= 0)) return 0;
  if (rounded >= 9.2e18) return std::numeric_limits<std::int64_t>::max();
  return static_cast<std::int64_t>(rounded);
}

QString fixed(const QLocale& locale, double value, int digits) {
  digits = std::max(0, digits);
  // A value that rounds to zero shows no minus sign.
  const double scale = std::pow(10.0, digits);
  if (std::isfinite(value) && std::round(std::abs(value) * scale) == 0) value = 0;
  return locale.toString(value, 'f', digits);
}

}  // namespace

QString ValueFormatter::bytes(double value, bool memory) const {
  const auto format = memory ? QLocale::DataSizeIecFormat : QLocale::DataSizeSIFormat;
  return locale.formattedDataSize(cleanCount(value), 1, format);
}

QString ValueFormatter::bytes(std::uint64_t value, bool memory) const {
  return bytes(static_cast<double>(value), memory);
}

QString ValueFormatter::rate(double bytesPerSecond) const {
  return locale.formattedDataSize(cleanCount(bytesPerSecond), 1, QLocale::DataSizeSIFormat) +
         QStringLiteral("/s");
}

QString ValueFormatter::percent(double value, int digits) const {
  return fixed(locale, value, digits) + locale.percent();
}

QString ValueFormatter::number(double value, int digits) const {
  return fixed(locale, value, digits);
}

QString ValueFormatter::duration(double seconds) const {
  const std::int64_t total = cleanSeconds(seconds);
  struct Part {
    std::int64_t amount;
    const char* unit;
  };
  const Part parts[] = {
      {total / 86400, "d"}, {total % 86400 / 3600, "h"}, {total % 3600 / 60, "min"}, {total % 60, "s"}};
  QString text;
  int shown = 0;
  for (const auto& part : parts) {
    if (part.amount == 0 || shown == 2) continue;
    if (!text.isEmpty()) text += QLatin1Char(' ');
    text +=
        locale.toString(static_cast<qlonglong>(part.amount)) + QLatin1Char(' ') + QLatin1String(part.unit);
    ++shown;
  }
  if (text.isEmpty()) text = locale.toString(0) + QStringLiteral(" s");
  return text;
}

QString ValueFormatter::clock(double seconds) const {
  const std::int64_t s = cleanSeconds(seconds);
  const std::int64_t r = s % 86400;
  const QString text = QString::asprintf("%d:%02d:%02d", static_cast<int>(r / 3600),
                                         static_cast<int>(r % 3600 / 60), static_cast<int>(r % 60));
  if (s < 86400) return text;
  return QString::number(s / 86400) + QStringLiteral(" d ") + text;
}

QString ValueFormatter::temperature(double celsius) const {
  return fixed(locale, celsius, 1) + QStringLiteral(" °C");
}

QString ValueFormatter::date(const QDateTime& date) const {
  // Abbreviated date ("Dec 10, 2026"), standard time with seconds, in the system's zone.
  QString dateFormat = locale.dateFormat(QLocale::LongFormat);
  dateFormat.replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
  dateFormat.remove(QStringLiteral("dddd, "));
  dateFormat.remove(QStringLiteral("dddd "));
  QString timeFormat = locale.timeFormat(QLocale::LongFormat);
  timeFormat.remove(QLatin1Char('t'));
  timeFormat = timeFormat.trimmed();
  const QDateTime local = date.toLocalTime();
  return locale.toString(local.date(), dateFormat) + QStringLiteral(", ") +
         locale.toString(local.time(), timeFormat);
}

QString ValueFormatter::value(double value, MetricUnit unit) const {
  switch (unit) {
    case MetricUnit::percent:
      return percent(value, 1);
    case MetricUnit::bytes:
      return bytes(value, true);
    case MetricUnit::bytesPerSecond:
      return rate(value);
    case MetricUnit::count:
      return number(value, 0);
    case MetricUnit::perSecond:
      return number(value, 1) + QStringLiteral("/s");
    case MetricUnit::seconds:
      return duration(value);
    case MetricUnit::milliseconds:
      return number(value, 1) + QStringLiteral(" ms");
    case MetricUnit::watts:
      return number(value, 1) + QStringLiteral(" W");
    case MetricUnit::celsius:
      return temperature(value);
    case MetricUnit::level:
      return number(value, 1);
    case MetricUnit::load:
      return number(value, 2);
  }
  return number(value, 1);
}

}  // namespace kivo
