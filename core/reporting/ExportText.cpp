#include "reporting/ExportText.h"

#include <QRegularExpression>
#include <QTimeZone>

#include <charconv>
#include <cmath>
#include <cstdint>

namespace kivo::ExportText {

namespace {

// Civil date from days since 1970-01-01 (proleptic Gregorian), without any allocation.
void civilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  if (m <= 2) ++y;
}

void appendDigits(std::string& out, std::int64_t value, int width) {
  char buffer[24];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  for (auto n = end - buffer; n < width; ++n) out.push_back('0');
  out.append(buffer, end);
}

// 0001-01-01T00:00:00Z and 9999-12-31T23:59:59Z
constexpr double kEarliest = -62135596800.0;
constexpr double kLatest = 253402300799.0;

}  // namespace

void appendShortestDecimal(std::string& out, double value) {
  if (std::isnan(value)) {
    out.append("nan");
    return;
  }
  if (std::isinf(value)) {
    out.append(value > 0 ? "inf" : "-inf");
    return;
  }
  char buffer[64];
  const double magnitude = std::fabs(value);
  const bool exponent = magnitude >= 1e16 || (magnitude != 0 && magnitude < 1e-4);
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                 exponent ? std::chars_format::scientific : std::chars_format::fixed);
  out.append(buffer, end);
  if (!exponent && std::find(buffer, end, '.') == end) out.append(".0");
}

QByteArray shortestDecimal(double value) {
  std::string out;
  appendShortestDecimal(out, value);
  return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

void appendFixed3(std::string& out, double value) {
  if (!std::isfinite(value)) {
    appendShortestDecimal(out, value);
    return;
  }
  char buffer[400];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 3);
  out.append(buffer, end);
}

void appendIsoDate(std::string& out, double seconds) {
  if (!std::isfinite(seconds)) return;
  seconds = std::floor(seconds);
  if (seconds < kEarliest || seconds > kLatest) return;
  const auto total = static_cast<std::int64_t>(seconds);
  std::int64_t days = total / 86400;
  std::int64_t rest = total % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  std::int64_t year = 0;
  unsigned month = 0;
  unsigned day = 0;
  civilFromDays(days, year, month, day);
  appendDigits(out, year, 4);
  out.push_back('-');
  appendDigits(out, month, 2);
  out.push_back('-');
  appendDigits(out, day, 2);
  out.push_back('T');
  appendDigits(out, rest / 3600, 2);
  out.push_back(':');
  appendDigits(out, rest % 3600 / 60, 2);
  out.push_back(':');
  appendDigits(out, rest % 60, 2);
  out.push_back('Z');
}

QByteArray isoDateFromSeconds(double secondsSince1970) {
  std::string out;
  appendIsoDate(out, secondsSince1970);
  return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

QByteArray isoDate(const QDateTime& date) {
  if (!date.isValid()) return {};
  const qint64 ms = date.toMSecsSinceEpoch();
  // Whole seconds toward the past, also before 1970.
  qint64 secs = ms / 1000;
  if (ms % 1000 < 0) --secs;
  return isoDateFromSeconds(static_cast<double>(secs));
}

std::optional<QDateTime> parseIsoDate(const QString& text) {
  static const QRegularExpression pattern(QStringLiteral(
      R"(^(\d{4})-(\d{2})-(\d{2})T(\d{2}):(\d{2}):(\d{2})(?:(Z)|([+-])(\d{2}):?(\d{2}))$)"));
  const auto match = pattern.match(text);
  if (!match.hasMatch()) return std::nullopt;
  const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
  const QTime time(match.captured(4).toInt(), match.captured(5).toInt(), match.captured(6).toInt());
  if (!date.isValid() || !time.isValid() || date.year() < 1) return std::nullopt;
  int offset = 0;
  if (match.captured(7).isEmpty()) {
    const int hours = match.captured(9).toInt();
    const int minutes = match.captured(10).toInt();
    if (hours > 23 || minutes > 59) return std::nullopt;
    offset = (hours * 3600 + minutes * 60) * (match.captured(8) == QLatin1String("-") ? -1 : 1);
  }
  QDateTime utc(date, time, QTimeZone::utc());
  return utc.addSecs(-offset);
}

}  // namespace kivo::ExportText
