#include "analysis/JsonRead.h"

#include <QDateTime>
#include <QJsonValue>
#include <QTimeZone>

#include <cmath>

namespace kivo::json {

void fail(QString* error, const QString& reason) {
  if (error && error->isEmpty()) *error = reason;
}

namespace {
QJsonValue field(const QJsonObject& object, const char* key, QString* error) {
  const auto it = object.constFind(QLatin1String(key));
  if (it == object.constEnd()) {
    fail(error, QStringLiteral("missing key \"%1\"").arg(QLatin1String(key)));
    return QJsonValue(QJsonValue::Undefined);
  }
  return it.value();
}

void wrongType(QString* error, const char* key, const char* expected) {
  fail(error, QStringLiteral("\"%1\" must be %2").arg(QLatin1String(key), QLatin1String(expected)));
}
}  // namespace

std::optional<double> number(const QJsonObject& object, const char* key, QString* error) {
  const QJsonValue value = field(object, key, error);
  if (value.isUndefined()) return std::nullopt;
  if (!value.isDouble() || !std::isfinite(value.toDouble())) {
    wrongType(error, key, "a finite number");
    return std::nullopt;
  }
  return value.toDouble();
}

std::optional<std::int64_t> integer(const QJsonObject& object, const char* key, QString* error) {
  const QJsonValue value = field(object, key, error);
  if (value.isUndefined()) return std::nullopt;
  if (!value.isDouble()) {
    wrongType(error, key, "an integer");
    return std::nullopt;
  }
  // Qt keeps integers written as integers exactly; a double must be whole and in range.
  const double number = value.toDouble();
  if (!std::isfinite(number) || number != std::floor(number) || number < -9.2233720368547758e18 ||
      number >= 9.2233720368547758e18) {
    wrongType(error, key, "an integer");
    return std::nullopt;
  }
  return value.toInteger(static_cast<qint64>(number));
}

std::optional<bool> boolean(const QJsonObject& object, const char* key, QString* error) {
  const QJsonValue value = field(object, key, error);
  if (value.isUndefined()) return std::nullopt;
  if (!value.isBool()) {
    wrongType(error, key, "true or false");
    return std::nullopt;
  }
  return value.toBool();
}

std::optional<QString> string(const QJsonObject& object, const char* key, QString* error) {
  const QJsonValue value = field(object, key, error);
  if (value.isUndefined()) return std::nullopt;
  if (!value.isString()) {
    wrongType(error, key, "a text");
    return std::nullopt;
  }
  return value.toString();
}

QString isoDate(double secondsSince1970) {
  const auto whole = static_cast<qint64>(std::floor(secondsSince1970));
  return QDateTime::fromSecsSinceEpoch(whole, QTimeZone::utc()).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) +
         QLatin1Char('Z');
}

std::optional<double> parseIsoDate(const QString& text) {
  // A date and a time with an explicit zone: a bare local time would shift with the reader's zone.
  const bool hasTime = text.size() >= 20 && text.at(10) == QLatin1Char('T');
  const bool zoned = text.endsWith(QLatin1Char('Z')) ||
                     (text.size() > 6 && (text.at(text.size() - 6) == QLatin1Char('+') ||
                                          text.at(text.size() - 6) == QLatin1Char('-')) &&
                      text.at(text.size() - 3) == QLatin1Char(':'));
  if (!hasTime || !zoned) return std::nullopt;
  const QDateTime date = QDateTime::fromString(text, Qt::ISODateWithMs);
  if (!date.isValid()) return std::nullopt;
  return static_cast<double>(date.toMSecsSinceEpoch()) / 1000.0;
}

}  // namespace kivo::json
