#include "collectors/RecordJson.h"

#include <QTimeZone>

#include <cmath>
#include <limits>

namespace kivo::RecordJson {

namespace {
template <typename T>
Field<T> refused() {
  return Field<T>{false, std::nullopt};
}
}  // namespace

Field<bool> boolean(const QJsonObject& object, QLatin1String key) {
  const QJsonValue value = object.value(key);
  if (value.isUndefined() || value.isNull()) return {};
  if (!value.isBool()) return refused<bool>();
  return {true, value.toBool()};
}

Field<QString> string(const QJsonObject& object, QLatin1String key) {
  const QJsonValue value = object.value(key);
  if (value.isUndefined() || value.isNull()) return {};
  if (!value.isString()) return refused<QString>();
  return {true, value.toString()};
}

Field<double> number(const QJsonObject& object, QLatin1String key) {
  const QJsonValue value = object.value(key);
  if (value.isUndefined() || value.isNull()) return {};
  if (!value.isDouble() || !std::isfinite(value.toDouble())) return refused<double>();
  return {true, value.toDouble()};
}

Field<std::int64_t> int64(const QJsonObject& object, QLatin1String key) {
  const QJsonValue value = object.value(key);
  if (value.isUndefined() || value.isNull()) return {};
  if (!value.isDouble()) return refused<std::int64_t>();
  // toInteger() gives the default unless the number is whole and fits: probe with two.
  const qint64 a = value.toInteger(0);
  const qint64 b = value.toInteger(1);
  if (a != b) return refused<std::int64_t>();
  const qint64 exact = a;
  return {true, static_cast<std::int64_t>(exact)};
}

Field<std::uint64_t> uint64(const QJsonObject& object, QLatin1String key) {
  const auto signedValue = int64(object, key);
  if (!signedValue.ok) return refused<std::uint64_t>();
  if (!signedValue.value) return {};
  if (*signedValue.value < 0) return refused<std::uint64_t>();
  return {true, static_cast<std::uint64_t>(*signedValue.value)};
}

void put(QJsonObject& object, QLatin1String key, const std::optional<bool>& value) {
  if (value) object.insert(key, *value);
}

void put(QJsonObject& object, QLatin1String key, const std::optional<QString>& value) {
  if (value) object.insert(key, *value);
}

void put(QJsonObject& object, QLatin1String key, const std::optional<double>& value) {
  if (value && std::isfinite(*value)) object.insert(key, *value);
}

void put(QJsonObject& object, QLatin1String key, const std::optional<std::int64_t>& value) {
  if (value) object.insert(key, static_cast<qint64>(*value));
}

void put(QJsonObject& object, QLatin1String key, const std::optional<std::uint64_t>& value) {
  if (!value) return;
  // Byte counts and ids stay far below 2^63; clamp rather than wrap to a negative.
  const auto clamped = std::min<std::uint64_t>(*value, static_cast<std::uint64_t>(std::numeric_limits<qint64>::max()));
  object.insert(key, static_cast<qint64>(clamped));
}

Field<QDateTime> date(const QJsonObject& object, QLatin1String key) {
  const QJsonValue value = object.value(key);
  if (value.isUndefined() || value.isNull()) return {};
  if (!value.isString()) return refused<QDateTime>();
  const QDateTime parsed = QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
  if (!parsed.isValid()) return refused<QDateTime>();
  return {true, parsed.toUTC()};
}

void put(QJsonObject& object, QLatin1String key, const std::optional<QDateTime>& value) {
  if (value) object.insert(key, value->toUTC().toString(Qt::ISODateWithMs));
}

}  // namespace kivo::RecordJson
