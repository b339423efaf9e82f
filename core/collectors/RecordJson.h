#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <cstdint>
#include <optional>

namespace kivo::RecordJson {

// Strict readers for the JSON coding of value records: a key holding the wrong type
// rejects the record. For optional fields a missing key or null is "absent" and the
// reader reports success with an empty value.

template <typename T>
struct Field {
  bool ok = true;
  std::optional<T> value;
};

Field<bool> boolean(const QJsonObject& object, QLatin1String key);
Field<QString> string(const QJsonObject& object, QLatin1String key);
Field<double> number(const QJsonObject& object, QLatin1String key);
// Integral numbers only (12.5 is refused).
Field<std::int64_t> int64(const QJsonObject& object, QLatin1String key);
Field<std::uint64_t> uint64(const QJsonObject& object, QLatin1String key);

void put(QJsonObject& object, QLatin1String key, const std::optional<bool>& value);
void put(QJsonObject& object, QLatin1String key, const std::optional<QString>& value);
void put(QJsonObject& object, QLatin1String key, const std::optional<double>& value);
void put(QJsonObject& object, QLatin1String key, const std::optional<std::int64_t>& value);
void put(QJsonObject& object, QLatin1String key, const std::optional<std::uint64_t>& value);

// Dates: ISO 8601 in UTC with milliseconds ("2023-11-14T22:13:20.250Z").
Field<QDateTime> date(const QJsonObject& object, QLatin1String key);
void put(QJsonObject& object, QLatin1String key, const std::optional<QDateTime>& value);

}  // namespace kivo::RecordJson
