#include "collectors/SampleJson.h"

#include <cmath>

namespace kivo::SampleJson {

namespace {
constexpr double kTwoTo63 = 9223372036854775808.0;
constexpr double kTwoTo64 = 18446744073709551616.0;

QString key(const char* name) { return QString::fromLatin1(name); }

std::optional<std::uint64_t> toUInt64(const QJsonValue& value) {
  if (!value.isDouble()) return std::nullopt;
  const double d = value.toDouble();
  if (!std::isfinite(d) || d < 0 || d != std::floor(d) || d > kTwoTo64) return std::nullopt;
  if (d < kTwoTo63) {
    // An integer stored as qint64 keeps every digit; toDouble() would round it.
    const qint64 exact = value.toInteger(-1);
    if (exact >= 0) return static_cast<std::uint64_t>(exact);
  }
  // Above 2^63 only the double survives; UINT64_MAX itself is written as 2^64.
  return d >= kTwoTo64 ? UINT64_MAX : static_cast<std::uint64_t>(d);
}

std::optional<int> toInt(const QJsonValue& value) {
  if (!value.isDouble()) return std::nullopt;
  const double d = value.toDouble();
  if (!std::isfinite(d) || d != std::floor(d) || d < -2147483648.0 || d > 2147483647.0) return std::nullopt;
  return static_cast<int>(d);
}

std::optional<double> toNumber(const QJsonValue& value) {
  if (!value.isDouble()) return std::nullopt;
  return value.toDouble();
}

template <typename T, typename Convert>
Optional<T> optionalField(const QJsonObject& object, const char* name, Convert convert) {
  Optional<T> result(std::in_place);  // valid, and absent until a value is found
  const QJsonValue value = object.value(key(name));
  if (value.isUndefined() || value.isNull()) return result;
  const std::optional<T> converted = convert(value);
  if (!converted) return std::nullopt;
  *result = converted;
  return result;
}
}  // namespace

QJsonValue fromUInt64(std::uint64_t value) {
  if (value <= static_cast<std::uint64_t>(INT64_MAX)) return QJsonValue(static_cast<qint64>(value));
  return QJsonValue(static_cast<double>(value));
}

std::optional<QString> text(const QJsonObject& object, const char* name) {
  const QJsonValue value = object.value(key(name));
  if (!value.isString()) return std::nullopt;
  return value.toString();
}

std::optional<bool> boolean(const QJsonObject& object, const char* name) {
  const QJsonValue value = object.value(key(name));
  if (!value.isBool()) return std::nullopt;
  return value.toBool();
}

std::optional<std::uint64_t> uint64(const QJsonObject& object, const char* name) {
  return toUInt64(object.value(key(name)));
}

std::optional<int> integer(const QJsonObject& object, const char* name) { return toInt(object.value(key(name))); }

std::optional<double> number(const QJsonObject& object, const char* name) {
  return toNumber(object.value(key(name)));
}

std::optional<QStringList> textList(const QJsonObject& object, const char* name) {
  const QJsonValue value = object.value(key(name));
  if (!value.isArray()) return std::nullopt;
  QStringList result;
  for (const QJsonValue& item : value.toArray()) {
    if (!item.isString()) return std::nullopt;
    result.append(item.toString());
  }
  return result;
}

std::optional<std::vector<double>> numberList(const QJsonObject& object, const char* name) {
  const QJsonValue value = object.value(key(name));
  if (!value.isArray()) return std::nullopt;
  std::vector<double> result;
  for (const QJsonValue& item : value.toArray()) {
    if (!item.isDouble()) return std::nullopt;
    result.push_back(item.toDouble());
  }
  return result;
}

Optional<QString> optionalText(const QJsonObject& object, const char* name) {
  return optionalField<QString>(object, name, [](const QJsonValue& v) -> std::optional<QString> {
    if (!v.isString()) return std::nullopt;
    return v.toString();
  });
}

Optional<std::uint64_t> optionalUInt64(const QJsonObject& object, const char* name) {
  return optionalField<std::uint64_t>(object, name, toUInt64);
}

Optional<int> optionalInteger(const QJsonObject& object, const char* name) {
  return optionalField<int>(object, name, toInt);
}

Optional<double> optionalNumber(const QJsonObject& object, const char* name) {
  return optionalField<double>(object, name, toNumber);
}

void put(QJsonObject& object, const char* name, const std::optional<QString>& value) {
  if (value) object.insert(key(name), *value);
}

void put(QJsonObject& object, const char* name, const std::optional<std::uint64_t>& value) {
  if (value) object.insert(key(name), fromUInt64(*value));
}

void put(QJsonObject& object, const char* name, const std::optional<int>& value) {
  if (value) object.insert(key(name), *value);
}

void put(QJsonObject& object, const char* name, const std::optional<double>& value) {
  if (value) object.insert(key(name), *value);
}

}  // namespace kivo::SampleJson
