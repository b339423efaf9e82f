#pragma once

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <cstdint>
#include <optional>
#include <stdexcept>

namespace kivo {

// A JSON report that cannot be read back; the message says where and why.
class ReportFormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads values out of parsed JSON without guessing: a missing key or a value of another type
// throws ReportFormatError naming the path ("series[2].points[5].count").
class StrictJson {
 public:
  [[noreturn]] static void fail(const QString& path, const QString& problem);

  static QString join(const QString& path, const QString& key);
  static QString index(const QString& path, qsizetype i);

  static QJsonObject object(const QJsonValue& value, const QString& path);
  static QJsonArray array(const QJsonObject& object, const QString& key, const QString& path);
  static QJsonValue required(const QJsonObject& object, const QString& key, const QString& path);

  static QString string(const QJsonValue& value, const QString& path);
  static QString string(const QJsonObject& object, const QString& key, const QString& path);
  // Any finite JSON number.
  static double number(const QJsonValue& value, const QString& path);
  static double number(const QJsonObject& object, const QString& key, const QString& path);
  // Absent when the key is missing or null.
  static std::optional<double> optionalNumber(const QJsonObject& object, const QString& key, const QString& path);
  // A whole JSON number within 64 bits; 3.5 is the wrong type.
  static std::int64_t integer(const QJsonValue& value, const QString& path);
  static std::int64_t integer(const QJsonObject& object, const QString& key, const QString& path);
  static std::optional<QString> optionalString(const QJsonObject& object, const QString& key, const QString& path);
  // ISO 8601 in whole seconds with a zone, as exports write it.
  static QDateTime date(const QJsonValue& value, const QString& path);
  static QDateTime date(const QJsonObject& object, const QString& key, const QString& path);
  static std::optional<QDateTime> optionalDate(const QJsonObject& object, const QString& key, const QString& path);
  // An array of strings.
  static QStringList strings(const QJsonValue& value, const QString& path);
};

}  // namespace kivo
