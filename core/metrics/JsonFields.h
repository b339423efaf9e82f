#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Strict reading and writing of the fields of JSON records. A value of the wrong type is
// never guessed at: it rejects the record. Keys are plain Latin-1 literals.
//
// Types read and written: bool, QString, double (finite only), std::int64_t and int (whole
// numbers in range; 12.5 is refused), std::uint64_t, QDateTime (the record date form below),
// QStringList and std::vector<double> (arrays whose every item has the type).
namespace kivo::JsonFields {

// The value as T, or absent when it has another type (null included).
template <typename T>
std::optional<T> as(const QJsonValue& value);

template <>
std::optional<bool> as<bool>(const QJsonValue& value);
template <>
std::optional<QString> as<QString>(const QJsonValue& value);
template <>
std::optional<double> as<double>(const QJsonValue& value);
template <>
std::optional<std::int64_t> as<std::int64_t>(const QJsonValue& value);
template <>
std::optional<int> as<int>(const QJsonValue& value);
template <>
std::optional<std::uint64_t> as<std::uint64_t>(const QJsonValue& value);
template <>
std::optional<QDateTime> as<QDateTime>(const QJsonValue& value);
template <>
std::optional<QStringList> as<QStringList>(const QJsonValue& value);
template <>
std::optional<std::vector<double>> as<std::vector<double>>(const QJsonValue& value);

// A required field: present and of type T, else absent.
template <typename T>
std::optional<T> required(const QJsonObject& object, const char* key) {
  return as<T>(object.value(QLatin1String(key)));
}

// The same, and on failure the first reason goes into *error (when given):
// "missing key \"k\"" or "\"k\" must be a finite number / an integer / true or false / a text".
template <typename T>
std::optional<T> required(const QJsonObject& object, const char* key, QString* error);

// Keeps the first reason: later failures of the same record do not overwrite it.
void fail(QString* error, const QString& reason);

// An optional field. A missing key or null is absent (ok, no value); a value of the
// wrong type is not ok and rejects the record.
template <typename T>
struct Field {
  bool ok = true;
  std::optional<T> value;
};

template <typename T>
Field<T> optional(const QJsonObject& object, const char* key) {
  const QJsonValue value = object.value(QLatin1String(key));
  if (value.isUndefined() || value.isNull()) return {};
  std::optional<T> converted = as<T>(value);
  if (!converted) return Field<T>{false, std::nullopt};
  return Field<T>{true, std::move(converted)};
}

// Unsigned counts: exact up to 2^63 - 1; above that written as a double (UINT64_MAX reads back exactly).
QJsonValue fromUInt64(std::uint64_t value);

// The record date form: ISO 8601 in UTC with milliseconds ("2023-11-14T22:13:20.250Z");
// an invalid date is null. Reading takes any ISO 8601 date Qt reads and gives it in UTC.
QJsonValue fromDate(const QDateTime& date);

// Writes the value when present and leaves the key out when absent (a non-finite double too).
void put(QJsonObject& object, const char* key, const std::optional<bool>& value);
void put(QJsonObject& object, const char* key, const std::optional<QString>& value);
void put(QJsonObject& object, const char* key, const std::optional<double>& value);
void put(QJsonObject& object, const char* key, const std::optional<int>& value);
void put(QJsonObject& object, const char* key, const std::optional<std::int64_t>& value);
void put(QJsonObject& object, const char* key, const std::optional<std::uint64_t>& value);
void put(QJsonObject& object, const char* key, const std::optional<QDateTime>& value);

// The document date form of exported and analysed documents: ISO 8601 in UTC with whole
// seconds (toward the past) and a trailing Z ("2026-03-01T14:05:00Z"). Nothing for a time
// outside years 0001 to 9999. The append form allocates nothing, for long exports.
QString documentDate(double secondsSince1970);
void appendDocumentDate(std::string& out, double secondsSince1970);
// Seconds since 1970 of a date with a time and an explicit zone ("Z" or "+02:00"); a fraction
// of a second is kept. A date without time or zone is refused.
std::optional<double> parseDocumentDate(const QString& text);

extern template std::optional<bool> required<bool>(const QJsonObject&, const char*, QString*);
extern template std::optional<QString> required<QString>(const QJsonObject&, const char*, QString*);
extern template std::optional<double> required<double>(const QJsonObject&, const char*, QString*);
extern template std::optional<std::int64_t> required<std::int64_t>(const QJsonObject&, const char*, QString*);

}  // namespace kivo::JsonFields
