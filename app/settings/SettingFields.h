#pragma once

#include "analysis/IntelligenceThresholds.h"
#include "scheduler/TelemetryConfiguration.h"
#include "storage/RetentionPolicy.h"

#include <QJsonObject>
#include <QString>

#include <cstdint>
#include <optional>

namespace kivo {

// Reads a stored object field by field: a field of the wrong type, or a number that is
// out of range, falls back (or is clamped) alone and is named on standard error; a
// missing field takes its default silently (an older version did not write it).
class SettingFieldReader {
 public:
  SettingFieldReader(const QString& key, const QJsonObject& object) : key_(key), object_(object) {}

  // Whether any field fell back or was clamped.
  bool adjusted() const { return adjusted_; }

  // A finite number at least `lower` (and at most `upper` when given).
  double number(const char* field, double fallback, double lower, std::optional<double> upper = std::nullopt);
  // A finite number above zero.
  double positive(const char* field, double fallback);
  bool flag(const char* field, bool fallback);
  std::int64_t whole(const char* field, std::int64_t fallback, std::int64_t lower);

 private:
  template <typename T>
  T fellBack(const char* field, T fallback);

  const QString& key_;
  const QJsonObject& object_;
  bool adjusted_ = false;
};

// The objects read field by field, each within the ranges the settings allow.
namespace SettingFields {

TelemetryConfiguration telemetry(SettingFieldReader& reader);
RetentionPolicy retention(SettingFieldReader& reader);
IntelligenceThresholds thresholds(SettingFieldReader& reader);

}  // namespace SettingFields

}  // namespace kivo
