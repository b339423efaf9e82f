#include "settings/StoredValue.h"

#include "settings/UuidText.h"

#include <QJsonParseError>

namespace kivo::StoredValue {

std::optional<QJsonDocument> document(const QVariant& stored) {
  if (stored.typeId() != QMetaType::QByteArray) return std::nullopt;
  QJsonParseError error{};
  QJsonDocument parsed = QJsonDocument::fromJson(stored.toByteArray(), &error);
  if (error.error != QJsonParseError::NoError) return std::nullopt;
  return parsed;
}

std::optional<QJsonObject> jsonObject(const QVariant& stored) {
  const auto parsed = document(stored);
  if (!parsed || !parsed->isObject()) return std::nullopt;
  return parsed->object();
}

std::optional<QJsonArray> jsonArray(const QVariant& stored) {
  const auto parsed = document(stored);
  if (!parsed || !parsed->isArray()) return std::nullopt;
  return parsed->array();
}

std::optional<QString> text(const QVariant& stored) {
  if (stored.typeId() != QMetaType::QString) return std::nullopt;
  return stored.toString();
}

std::optional<bool> boolean(const QVariant& stored) {
  if (stored.typeId() != QMetaType::Bool) return std::nullopt;
  return stored.toBool();
}

std::optional<QUuid> identifier(const QVariant& stored) {
  const auto value = text(stored);
  return value ? UuidText::parse(*value) : std::nullopt;
}

QByteArray compact(const QJsonObject& object) {
  return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QByteArray compact(const QJsonArray& array) {
  return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

}  // namespace kivo::StoredValue
