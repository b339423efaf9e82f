#include "storage/StoredEvent.h"

#include "metrics/JsonFields.h"

#include <QJsonValue>

#include <cmath>

namespace kivo {

QJsonObject StoredEvent::toJson() const {
  QJsonObject object;
  object.insert(QStringLiteral("id"), QJsonValue(static_cast<qint64>(id)));
  object.insert(QStringLiteral("date"), JsonFields::fromDate(date));
  object.insert(QStringLiteral("kind"), EventKinds::toJson(kind));
  object.insert(QStringLiteral("severity"), Severities::toJson(severity));
  if (metric) object.insert(QStringLiteral("metric"), Metric::toJson(*metric));
  object.insert(QStringLiteral("code"), code);
  QJsonObject details;
  for (auto it = payload.cbegin(); it != payload.cend(); ++it) details.insert(it.key(), it.value());
  object.insert(QStringLiteral("payload"), details);
  return object;
}

std::optional<StoredEvent> StoredEvent::fromJson(const QJsonObject& object) {
  const auto id = JsonFields::required<std::int64_t>(object, "id");
  const auto date = JsonFields::as<QDateTime>(object.value(QStringLiteral("date")));
  const auto kind = EventKinds::fromJson(object.value(QStringLiteral("kind")));
  const auto severity = Severities::fromJson(object.value(QStringLiteral("severity")));
  const QJsonValue code = object.value(QStringLiteral("code"));
  const QJsonValue payload = object.value(QStringLiteral("payload"));
  if (!id || !date || !kind || !severity || !code.isString() || !payload.isObject()) return std::nullopt;

  StoredEvent event;
  event.id = *id;
  event.date = *date;
  event.kind = *kind;
  event.severity = *severity;
  if (object.contains(QStringLiteral("metric"))) {
    const QJsonValue metric = object.value(QStringLiteral("metric"));
    if (!metric.isNull()) {
      event.metric = Metric::fromJson(metric);
      if (!event.metric) return std::nullopt;
    }
  }
  event.code = code.toString();
  const QJsonObject details = payload.toObject();
  for (auto it = details.begin(); it != details.end(); ++it) {
    if (!it.value().isString()) return std::nullopt;
    event.payload.insert(it.key(), it.value().toString());
  }
  return event;
}

}  // namespace kivo
