#pragma once

#include <QJsonObject>

#include <optional>

namespace kivo {

// How long each history tier is kept, in seconds. Events age with the hour tier.
// The default member values are the settings' defaults: 6 hours, 14 days, 730 days.
struct RetentionPolicy {
  double raw = 21600;
  double minute = 1209600;
  double hour = 63072000;

  bool operator==(const RetentionPolicy&) const = default;

  // Keys "raw", "minute", "hour".
  QJsonObject toJson() const;
  // All three keys are required and must be numbers.
  static std::optional<RetentionPolicy> fromJson(const QJsonObject& object);
};

}  // namespace kivo
