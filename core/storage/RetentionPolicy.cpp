#include "storage/RetentionPolicy.h"

#include <QJsonValue>

namespace kivo {

QJsonObject RetentionPolicy::toJson() const {
  QJsonObject object;
  object.insert(QStringLiteral("raw"), raw);
  object.insert(QStringLiteral("minute"), minute);
  object.insert(QStringLiteral("hour"), hour);
  return object;
}

std::optional<RetentionPolicy> RetentionPolicy::fromJson(const QJsonObject& object) {
  const QJsonValue raw = object.value(QStringLiteral("raw"));
  const QJsonValue minute = object.value(QStringLiteral("minute"));
  const QJsonValue hour = object.value(QStringLiteral("hour"));
  if (!raw.isDouble() || !minute.isDouble() || !hour.isDouble()) return std::nullopt;
  return RetentionPolicy{raw.toDouble(), minute.toDouble(), hour.toDouble()};
}

}  // namespace kivo
