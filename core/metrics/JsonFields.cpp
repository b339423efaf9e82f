#include "metrics/JsonFields.h"

#include <QJsonArray>
#include <QTimeZone>

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

QString documentDate(double secondsSince1970) {
  const auto whole = static_cast<qint64>(std::floor(secondsSince1970));
  return QDateTime::fromSecsSinceEpoch(whole, QTimeZone::utc())
             .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) +
         QLatin1Char('Z');
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
