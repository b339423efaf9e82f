#include "storage/RetentionPolicy.h"

#include "metrics/JsonFields.h"

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
  const auto raw = JsonFields::required<double>(object, "raw");
  const auto minute = JsonFields::required<double>(object, "minute");
  const auto hour = JsonFields::required<double>(object, "hour");
  if (!raw || !minute || !hour) return std::nullopt;
  return RetentionPolicy{*raw, *minute, *hour};
}

}  // namespace kivo
