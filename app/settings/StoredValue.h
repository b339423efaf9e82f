#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QUuid>
#include <QVariant>

#include <optional>

namespace kivo {

// Reading a raw stored setting as the type it must have: anything else is absent, never
// converted (a number stored where a flag belongs is not a flag).
namespace StoredValue {

std::optional<QJsonDocument> document(const QVariant& stored);
std::optional<QJsonObject> jsonObject(const QVariant& stored);
std::optional<QJsonArray> jsonArray(const QVariant& stored);
std::optional<QString> text(const QVariant& stored);
std::optional<bool> boolean(const QVariant& stored);
std::optional<QUuid> identifier(const QVariant& stored);

QByteArray compact(const QJsonObject& object);
QByteArray compact(const QJsonArray& array);

}  // namespace StoredValue

}  // namespace kivo
