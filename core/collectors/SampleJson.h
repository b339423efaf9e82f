#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

// JSON coding shared by the sample records: keys are the field names, an absent optional is
// left out, and decoding is strict (a missing required key or a value of the wrong type
// rejects the whole record; null or a missing key reads as absent for an optional field).
namespace kivo::SampleJson {

// Exact up to 2^63; above that the value is written as a double (UINT64_MAX reads back exactly).
QJsonValue fromUInt64(std::uint64_t value);

// A field that is required: present and of the right type, else nothing.
std::optional<QString> text(const QJsonObject& object, const char* key);
std::optional<bool> boolean(const QJsonObject& object, const char* key);
std::optional<std::uint64_t> uint64(const QJsonObject& object, const char* key);
std::optional<int> integer(const QJsonObject& object, const char* key);
std::optional<double> number(const QJsonObject& object, const char* key);
std::optional<QStringList> textList(const QJsonObject& object, const char* key);
std::optional<std::vector<double>> numberList(const QJsonObject& object, const char* key);

// An optional field: the outer optional is empty when the value has the wrong type (reject),
// the inner one when the key is missing or null (absent).
template <typename T>
using Optional = std::optional<std::optional<T>>;
Optional<QString> optionalText(const QJsonObject& object, const char* key);
Optional<std::uint64_t> optionalUInt64(const QJsonObject& object, const char* key);
Optional<int> optionalInteger(const QJsonObject& object, const char* key);
Optional<double> optionalNumber(const QJsonObject& object, const char* key);

void put(QJsonObject& object, const char* key, const std::optional<QString>& value);
void put(QJsonObject& object, const char* key, const std::optional<std::uint64_t>& value);
void put(QJsonObject& object, const char* key, const std::optional<int>& value);
void put(QJsonObject& object, const char* key, const std::optional<double>& value);

}  // namespace kivo::SampleJson
