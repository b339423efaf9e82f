#include "analysis/EventPayload.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace kivo::EventPayload {

namespace {
QString nonFinite(double value) {
  if (std::isnan(value)) return QStringLiteral("nan");
  return value > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
}
}  // namespace

QString decimal(double value) {
  if (!std::isfinite(value)) return nonFinite(value);
  char buffer[64];
  // Plain digits across the everyday range (2e10 -> "20000000000.0"); exponent form only for the extremes.
  const double magnitude = std::fabs(value);
  const bool plain = magnitude == 0 || (magnitude >= 1e-4 && magnitude < 1e16);
  const auto result = plain ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed)
                            : std::to_chars(buffer, buffer + sizeof buffer, value);
  std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
  QString out = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  // "90" and "1e+21" alike get marked as decimals.
  if (text.find('.') == std::string_view::npos && text.find('e') == std::string_view::npos)
    out += QStringLiteral(".0");
  return out;
}

QString wholeSeconds(double seconds) {
  if (std::isnan(seconds)) return QStringLiteral("0");
  const double truncated = std::trunc(seconds);
  if (truncated >= 9.2e18) return QStringLiteral("9223372036854775807");
  if (truncated <= -9.2e18) return QStringLiteral("-9223372036854775808");
  return QString::number(static_cast<std::int64_t>(truncated));
}

QString oneDecimal(double value) {
  if (!std::isfinite(value)) return nonFinite(value);
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
  if (result.ec != std::errc{}) return nonFinite(value);
  return QString::fromLatin1(buffer, static_cast<qsizetype>(result.ptr - buffer));
}

std::optional<double> parseDecimal(QStringView text) {
  if (text.isEmpty() || text.size() > 64) return std::nullopt;
  char buffer[64];
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c > 0x7f) return std::nullopt;
    buffer[i] = static_cast<char>(c);
  }
  const char* end = buffer + text.size();
  double value = 0;
  // from_chars takes no leading '+' or spaces and never looks at the locale.
  const auto result = std::from_chars(buffer, end, value);
  if (result.ec != std::errc{} || result.ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace kivo::EventPayload
