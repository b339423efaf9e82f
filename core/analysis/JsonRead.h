#pragma once

#include <QJsonObject>
#include <QString>

#include <cstdint>
#include <optional>

namespace kivo::json {

// Strict readers for the records' JSON forms: a missing key or a value of the
// wrong type gives absent and writes a short reason into *error (when given).
// Numbers must be finite; integers must be whole numbers within 64 bits.
std::optional<double> number(const QJsonObject& object, const char* key, QString* error);
std::optional<std::int64_t> integer(const QJsonObject& object, const char* key, QString* error);
std::optional<bool> boolean(const QJsonObject& object, const char* key, QString* error);
std::optional<QString> string(const QJsonObject& object, const char* key, QString* error);

void fail(QString* error, const QString& reason);

// ISO 8601 in UTC with whole seconds and a trailing Z, the date form of exported documents.
QString isoDate(double secondsSince1970);
// Takes "Z" or a numeric offset; a date without time or zone is refused.
std::optional<double> parseIsoDate(const QString& text);

}  // namespace kivo::json
