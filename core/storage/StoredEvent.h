#pragma once

#include "metrics/Metric.h"
#include "storage/EventKind.h"
#include "storage/Severity.h"

#include <QDateTime>
#include <QJsonObject>
#include <QMap>
#include <QString>

#include <cstdint>
#include <optional>

namespace kivo {

// One row of the event log. Codes and payload keys in use:
//   alert    "alert.fired", "alert.resolved"     rule, value, threshold, comparison, held
//   process  "process.spike" (date = spike start) name, pid, peak, duration
//   system   "system.gap"                         seconds
//   system   "system.sleep", "system.wake"        (none)
//   network  "network.online", "network.offline"  interfaces
//   bookmark "bookmark"                           note
// Every payload value is text.
struct StoredEvent {
  std::int64_t id = 0;  // row id; ignored when recording
  QDateTime date;
  EventKind kind = EventKind::system;
  Severity severity = Severity::info;
  std::optional<MetricID> metric;
  QString code;
  QMap<QString, QString> payload;

  bool operator==(const StoredEvent&) const = default;

  // Keys are the field names; "metric" is left out when absent; "date" is ISO 8601.
  QJsonObject toJson() const;
  // Every key but "metric" is required with its exact type.
  static std::optional<StoredEvent> fromJson(const QJsonObject& object);
};

}  // namespace kivo
