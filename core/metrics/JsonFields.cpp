#include "metrics/JsonFields.h"

#include <QJsonArray>

#include <charconv>
#include <cmath>

namespace kivo::JsonFields {

namespace {
constexpr double kTwoTo64 = 18446744073709551616.0;

// What a reason says a field must be.
template <typename T>
const char* expected();
template <>
const char* expected<bool>() {
  return "true or false";
}
template <>
const char* expected<QString>() {
  return "a text";
}
template <>
const char* expected<double>() {
  return "a finite number";
}
template <>
const char* expected<std::int64_t>() {
  return "an integer";
}

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

template <>
std::optional<bool> as<bool>(const QJsonValue& value) {
  if (!value.isBool()) return std::nullopt;
  return value.toBool();
}

template <>
std::optional<QString> as<QString>(const QJsonValue& value) {
  if (!value.isString()) return std::nullopt;
  return value.toString();
}

template <>
std::optional<double> as<double>(const QJsonValue& value) {
  if (!value.isDouble() || !std::isfinite(value.toDouble())) return std::nullopt;
  return value.toDouble();
}

template <>
std::optional<std::int64_t> as<std::int64_t>(const QJsonValue& value) {
  if (!value.isDouble()) return std::nullopt;
  // toInteger() gives the default unless the number is whole and fits: probe with two.
  const qint64 a = value.toInteger(0);
  const qint64 b = value.toInteger(1);
  if (a != b) return std::nullopt;
  return static_cast<std::int64_t>(a);
}

template <>
std::optional<int> as<int>(const QJsonValue& value) {
  const auto wide = as<std::int64_t>(value);
  if (!wide || *wide < INT32_MIN || *wide > INT32_MAX) return std::nullopt;
  return static_cast<int>(*wide);
}

template <>
std::optional<std::uint64_t> as<std::uint64_t>(const QJsonValue& value) {
  if (!value.isDouble()) return std::nullopt;
  const double d = value.toDouble();
  if (!std::isfinite(d) || d < 0 || d != std::floor(d) || d > kTwoTo64) return std::nullopt;
  // An integer stored as qint64 keeps every digit; toDouble() would round it (INT64_MAX to 2^63).
  const qint64 exact = value.toInteger(-1);
  if (exact >= 0) return static_cast<std::uint64_t>(exact);
  // Above 2^63 only the double survives; UINT64_MAX itself is written as 2^64.
  return d >= kTwoTo64 ? UINT64_MAX : static_cast<std::uint64_t>(d);
}

template <>
std::optional<QDateTime> as<QDateTime>(const QJsonValue& value) {
  if (!value.isString()) return std::nullopt;
  const QDateTime parsed = QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
  if (!parsed.isValid()) return std::nullopt;
  return parsed.toUTC();
}

template <>
std::optional<QStringList> as<QStringList>(const QJsonValue& value) {
  if (!value.isArray()) return std::nullopt;
  const QJsonArray array = value.toArray();
  QStringList result;
  result.reserve(array.size());
  for (const QJsonValue& item : array) {
    if (!item.isString()) return std::nullopt;
    result.append(item.toString());
  }
  return result;
}

template <>
std::optional<std::vector<double>> as<std::vector<double>>(const QJsonValue& value) {
  if (!value.isArray()) return std::nullopt;
  const QJsonArray array = value.toArray();
  std::vector<double> result;
  result.reserve(static_cast<std::size_t>(array.size()));
  for (const QJsonValue& item : array) {
    const auto number = as<double>(item);
    if (!number) return std::nullopt;
    result.push_back(*number);
  }
  return result;
}

void fail(QString* error, const QString& reason) {
  if (error && error->isEmpty()) *error = reason;
}

template <typename T>
std::optional<T> required(const QJsonObject& object, const char* key, QString* error) {
  const auto it = object.constFind(QLatin1String(key));
  if (it == object.constEnd()) {
    fail(error, QStringLiteral("missing key \"%1\"").arg(QLatin1String(key)));
    return std::nullopt;
  }
  std::optional<T> value = as<T>(it.value());
  if (!value)
    fail(error, QStringLiteral("\"%1\" must be %2").arg(QLatin1String(key), QLatin1String(expected<T>())));
  return value;
}

template std::optional<bool> required<bool>(const QJsonObject&, const char*, QString*);
template std::optional<QString> required<QString>(const QJsonObject&, const char*, QString*);
template std::optional<double> required<double>(const QJsonObject&, const char*, QString*);
template std::optional<std::int64_t> required<std::int64_t>(const QJsonObject&, const char*, QString*);

QJsonValue fromUInt64(std::uint64_t value) {
  if (value <= static_cast<std::uint64_t>(INT64_MAX)) return QJsonValue(static_cast<qint64>(value));
  return QJsonValue(static_cast<double>(value));
}

QJsonValue fromDate(const QDateTime& date) {
  if (!date.isValid()) return QJsonValue(QJsonValue::Null);
  return QJsonValue(date.toUTC().toString(Qt::ISODateWithMs));
}

void put(QJsonObject& object, const char* key, const std::optional<bool>& value) {
  if (value) object.insert(QLatin1String(key), *value);
}

void put(QJsonObject& object, const char* key, const std::optional<QString>& value) {
  if (value) object.insert(QLatin1String(key), *value);
}

void put(QJsonObject& object, const char* key, const std::optional<double>& value) {
  if (value && std::isfinite(*value)) object.insert(QLatin1String(key), *value);
}

void put(QJsonObject& object, const char* key, const std::optional<int>& value) {
  if (value) object.insert(QLatin1String(key), *value);
}

void put(QJsonObject& object, const char* key, const std::optional<std::int64_t>& value) {
  if (value) object.insert(QLatin1String(key), static_cast<qint64>(*value));
}

void put(QJsonObject& object, const char* key, const std::optional<std::uint64_t>& value) {
  if (value) object.insert(QLatin1String(key), fromUInt64(*value));
}

void put(QJsonObject& object, const char* key, const std::optional<QDateTime>& value) {
  if (value) object.insert(QLatin1String(key), fromDate(*value));
}

void appendDocumentDate(std::string& out, double seconds) {
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

QString documentDate(double secondsSince1970) {
  std::string out;
  appendDocumentDate(out, secondsSince1970);
  return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}

std::optional<double> parseDocumentDate(const QString& text) {
  // A date and a time with an explicit zone: a bare local time would shift with the reader's zone.
  const bool hasTime = text.size() >= 20 && text.at(10) == QLatin1Char('T');
  const bool zoned =
      text.endsWith(QLatin1Char('Z')) ||
      (text.size() > 6 &&
       (text.at(text.size() - 6) == QLatin1Char('+') || text.at(text.size() - 6) == QLatin1Char('-')) &&
       text.at(text.size() - 3) == QLatin1Char(':'));
  if (!hasTime || !zoned) return std::nullopt;
  const QDateTime date = QDateTime::fromString(text, Qt::ISODateWithMs);
  if (!date.isValid()) return std::nullopt;
  return static_cast<double>(date.toMSecsSinceEpoch()) / 1000.0;
}

}  // namespace kivo::JsonFields
