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

// Whether the clocks show this local time twice: in the hour repeated when they go back, the
// same time under the other offset is a moment of its own.
bool isRepeated(const QDateTime& local) {
  if (!local.isValid()) return false;
  const qint64 seconds = local.toSecsSinceEpoch();
  const int offset = local.offsetFromUtc();
  // A change of the clocks moves them by a few hours at most; the same wall time under another
  // offset lies as far away.
  for (const qint64 probe : {seconds - 6 * 3600, seconds + 6 * 3600}) {
    const int other = QDateTime::fromSecsSinceEpoch(probe).offsetFromUtc();
    if (other != offset && QDateTime::fromSecsSinceEpoch(seconds + offset - other).offsetFromUtc() == other)
      return true;
  }
  return false;
}

// The locale writes every count below a kilobyte as "N bytes", one included.
QString dataSize(const QLocale& locale, std::int64_t count, QLocale::DataSizeFormats format) {
  if (count == 1) return locale.toString(1) + QStringLiteral(" byte");
  return locale.formattedDataSize(count, 1, format);
}

}  // namespace

QString ValueFormatter::bytes(double value, bool memory) const {
  return dataSize(locale, cleanCount(value), memory ? QLocale::DataSizeIecFormat : QLocale::DataSizeSIFormat);
}

QString ValueFormatter::bytes(std::uint64_t value, bool memory) const {
  return bytes(static_cast<double>(value), memory);
}

QString ValueFormatter::rate(double bytesPerSecond) const {
  return dataSize(locale, cleanCount(bytesPerSecond), QLocale::DataSizeSIFormat) + QStringLiteral("/s");
}

QString ValueFormatter::percent(double value, int digits) const {
  return fixed(locale, value, digits) + locale.percent();
}

QString ValueFormatter::number(double value, int digits) const {
  return fixed(locale, value, digits);
}

QString ValueFormatter::duration(double seconds) const {
  std::int64_t total = cleanSeconds(seconds);
  static constexpr std::int64_t sizes[] = {86400, 3600, 60, 1};
  static constexpr const char* units[] = {"d", "h", "min", "s"};
  // The largest unit and the one just below it, never two apart: 14 h 0 min 56 s reads
  // "14 h 1 min", as "14 h 56 s" would hide the minutes. The rest rounds into the smaller one.
  std::size_t first = 0;
  while (first < 3 && total < sizes[first]) ++first;
  if (first < 3) {
    const std::int64_t step = sizes[first + 1];
    if (total <= std::numeric_limits<std::int64_t>::max() - step / 2)
      total = (total + step / 2) / step * step;
    while (first > 0 && total >= sizes[first - 1]) --first;  // 23 h 59 min 59 s rounds to 1 d
  }
  const std::int64_t amount = first == 0 ? total / sizes[0] : total % sizes[first - 1] / sizes[first];
  QString text =
      locale.toString(static_cast<qlonglong>(amount)) + QLatin1Char(' ') + QLatin1String(units[first]);
  if (first < 3) {
    const std::int64_t next = total % sizes[first] / sizes[first + 1];
    if (next != 0) {
      text += QLatin1Char(' ') + locale.toString(static_cast<qlonglong>(next)) + QLatin1Char(' ') +
              QLatin1String(units[first + 1]);
    }
  }
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
  return this->date(date, isRepeated(date.toLocalTime()));
}

std::pair<QString, QString> ValueFormatter::period(const QDateTime& from, const QDateTime& to) const {
  const QDateTime start = from.toLocalTime();
  const QDateTime end = to.toLocalTime();
  const bool change = start.isValid() && end.isValid() && start.offsetFromUtc() != end.offsetFromUtc();
  return {date(from, change || isRepeated(start)), date(to, change || isRepeated(end))};
}

QString ValueFormatter::date(const QDateTime& date, bool zone) const {
  // Abbreviated date ("Dec 10, 2026"), standard time with seconds, in the system's zone.
  QString dateFormat = locale.dateFormat(QLocale::LongFormat);
  dateFormat.replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
  dateFormat.remove(QStringLiteral("dddd, "));
  dateFormat.remove(QStringLiteral("dddd "));
  QString timeFormat = locale.timeFormat(QLocale::LongFormat);
  timeFormat.remove(QLatin1Char('t'));
  timeFormat = timeFormat.trimmed();
  const QDateTime local = date.toLocalTime();
  QString text = locale.toString(local.date(), dateFormat) + QStringLiteral(", ") +
                 locale.toString(local.time(), timeFormat);
  if (zone) {
    const QString abbreviation = local.timeZoneAbbreviation();
    if (!abbreviation.isEmpty()) text += QLatin1Char(' ') + abbreviation;
  }
  return text;
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
