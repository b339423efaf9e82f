#include "reporting/StrictJson.h"

#include "reporting/ExportText.h"

#include <cmath>

namespace kivo {

namespace {

QString typeName(const QJsonValue& value) {
  switch (value.type()) {
    case QJsonValue::Null:
      return QStringLiteral("null");
    case QJsonValue::Bool:
      return QStringLiteral("a boolean");
    case QJsonValue::Double:
      return QStringLiteral("a number");
    case QJsonValue::String:
      return QStringLiteral("a string");
    case QJsonValue::Array:
      return QStringLiteral("an array");
    case QJsonValue::Object:
      return QStringLiteral("an object");
    case QJsonValue::Undefined:
      break;
  }
  return QStringLiteral("nothing");
}

[[noreturn]] void wrongType(const QJsonValue& value, const QString& path, const char* wanted) {
  StrictJson::fail(path, QStringLiteral("expected %1, found %2").arg(QLatin1String(wanted), typeName(value)));
}

}  // namespace

void StrictJson::fail(const QString& path, const QString& problem) {
  const QString where = path.isEmpty() ? QStringLiteral("the document") : path;
  throw ReportFormatError(QStringLiteral("Invalid report at %1: %2.").arg(where, problem).toStdString());
}

QString StrictJson::join(const QString& path, const QString& key) {
  return path.isEmpty() ? key : path + u'.' + key;
}

QString StrictJson::index(const QString& path, qsizetype i) {
  return path + u'[' + QString::number(i) + u']';
}

QJsonValue StrictJson::required(const QJsonObject& object, const QString& key, const QString& path) {
  const auto it = object.constFind(key);
  if (it == object.constEnd()) fail(path, QStringLiteral("missing key \"%1\"").arg(key));
  return it.value();
}

QJsonObject StrictJson::object(const QJsonValue& value, const QString& path) {
  if (!value.isObject()) wrongType(value, path, "an object");
  return value.toObject();
}

QJsonArray StrictJson::array(const QJsonObject& object, const QString& key, const QString& path) {
  const QJsonValue value = required(object, key, path);
  if (!value.isArray()) wrongType(value, join(path, key), "an array");
  return value.toArray();
}

QString StrictJson::string(const QJsonValue& value, const QString& path) {
  if (!value.isString()) wrongType(value, path, "a string");
  return value.toString();
}

QString StrictJson::string(const QJsonObject& object, const QString& key, const QString& path) {
  return string(required(object, key, path), join(path, key));
}

std::optional<QString> StrictJson::optionalString(const QJsonObject& object, const QString& key,
                                                  const QString& path) {
  const auto it = object.constFind(key);
  if (it == object.constEnd() || it.value().isNull()) return std::nullopt;
  return string(it.value(), join(path, key));
}

double StrictJson::number(const QJsonValue& value, const QString& path) {
  if (!value.isDouble()) wrongType(value, path, "a number");
  const double number = value.toDouble();
  if (!std::isfinite(number)) fail(path, QStringLiteral("the number is not finite"));
  return number;
}

double StrictJson::number(const QJsonObject& object, const QString& key, const QString& path) {
  return number(required(object, key, path), join(path, key));
}

std::optional<double> StrictJson::optionalNumber(const QJsonObject& object, const QString& key,
                                                 const QString& path) {
  const auto it = object.constFind(key);
  if (it == object.constEnd() || it.value().isNull()) return std::nullopt;
  return number(it.value(), join(path, key));
}

std::int64_t StrictJson::integer(const QJsonValue& value, const QString& path) {
  if (!value.isDouble()) wrongType(value, path, "an integer");
  // Integers that fit in 64 bits are kept exactly by the parser; anything else arrives as a double.
  const QVariant variant = value.toVariant();
  if (variant.typeId() == QMetaType::LongLong) return variant.toLongLong();
  const double number = value.toDouble();
  if (!std::isfinite(number) || number != std::trunc(number) || std::fabs(number) >= 9.2e18)
    wrongType(value, path, "an integer");
  return static_cast<std::int64_t>(number);
}

std::int64_t StrictJson::integer(const QJsonObject& object, const QString& key, const QString& path) {
  return integer(required(object, key, path), join(path, key));
}

QDateTime StrictJson::date(const QJsonValue& value, const QString& path) {
  const QString text = string(value, path);
  const auto date = ExportText::parseIsoDate(text);
  if (!date) fail(path, QStringLiteral("\"%1\" is not an ISO 8601 date").arg(text));
  return *date;
}

QDateTime StrictJson::date(const QJsonObject& object, const QString& key, const QString& path) {
  return date(required(object, key, path), join(path, key));
}

std::optional<QDateTime> StrictJson::optionalDate(const QJsonObject& object, const QString& key,
                                                  const QString& path) {
  const auto it = object.constFind(key);
  if (it == object.constEnd() || it.value().isNull()) return std::nullopt;
  return date(it.value(), join(path, key));
}

QStringList StrictJson::strings(const QJsonValue& value, const QString& path) {
  if (!value.isArray()) wrongType(value, path, "an array");
  const QJsonArray array = value.toArray();
  QStringList out;
  out.reserve(array.size());
  for (qsizetype i = 0; i < array.size(); ++i) out.append(string(array.at(i), index(path, i)));
  return out;
}

}  // namespace kivo
