#include "storage/StoreStatistics.h"

#include "metrics/JsonFields.h"

#include <QJsonValue>

#include <cmath>

namespace kivo {

QJsonObject StoreStatistics::toJson() const {
  QJsonObject object;
  object.insert(QStringLiteral("rawRows"), QJsonValue(static_cast<qint64>(rawRows)));
  object.insert(QStringLiteral("minuteRows"), QJsonValue(static_cast<qint64>(minuteRows)));
  object.insert(QStringLiteral("hourRows"), QJsonValue(static_cast<qint64>(hourRows)));
  object.insert(QStringLiteral("events"), QJsonValue(static_cast<qint64>(events)));
  object.insert(QStringLiteral("fileBytes"), JsonFields::fromUInt64(fileBytes));
  if (earliest) object.insert(QStringLiteral("earliest"), JsonFields::fromDate(*earliest));
  return object;
}

std::optional<StoreStatistics> StoreStatistics::fromJson(const QJsonObject& object) {
  const auto rawRows = JsonFields::required<std::int64_t>(object, "rawRows");
  const auto minuteRows = JsonFields::required<std::int64_t>(object, "minuteRows");
  const auto hourRows = JsonFields::required<std::int64_t>(object, "hourRows");
  const auto events = JsonFields::required<std::int64_t>(object, "events");
  const auto fileBytes = JsonFields::required<std::uint64_t>(object, "fileBytes");
  if (!rawRows || !minuteRows || !hourRows || !events || !fileBytes) return std::nullopt;
  StoreStatistics statistics{*rawRows, *minuteRows, *hourRows, *events, *fileBytes, std::nullopt};
  if (object.contains(QStringLiteral("earliest"))) {
    statistics.earliest = JsonFields::as<QDateTime>(object.value(QStringLiteral("earliest")));
    if (!statistics.earliest) return std::nullopt;
  }
  return statistics;
}

}  // namespace kivo
