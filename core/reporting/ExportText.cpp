#include "reporting/ExportText.h"

#include "metrics/JsonFields.h"

#include <QRegularExpression>
#include <QTimeZone>

#include <charconv>
#include <cmath>
#include <cstdint>

namespace kivo::ExportText {

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

void appendIsoDate(std::string& out, double secondsSince1970) {
  JsonFields::appendDocumentDate(out, secondsSince1970);
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
  static const QRegularExpression pattern(
      QStringLiteral(R"(^(\d{4})-(\d{2})-(\d{2})T(\d{2}):(\d{2}):(\d{2})(?:(Z)|([+-])(\d{2}):?(\d{2}))$)"));
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
