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
  double number(const char* field, double fallback, TelemetryConfiguration::Range range) {
    return number(field, fallback, range.lower, range.upper);
  }
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

using Range = TelemetryConfiguration::Range;

// What the settings window offers, from its sliders' ends and its pickers' first and last
// choices. A stored value outside is brought to the nearest end; one inside that no control
// stands on exactly (1.5 s, 90 minutes) is kept as it is.
inline constexpr Range interval = TelemetryConfiguration::intervalRange;
inline constexpr Range backgroundInterval{2, 30};
inline constexpr Range processInterval{2, 30};
inline constexpr Range slowInterval{10, 120};
inline constexpr Range rawRetention{3'600, 259'200};           // 1 hour to 3 days
inline constexpr Range minuteRetention{604'800, 7'776'000};    // 7 to 90 days
inline constexpr Range hourRetention{7'776'000, 157'680'000};  // 90 days to 5 years

TelemetryConfiguration telemetry(SettingFieldReader& reader);
RetentionPolicy retention(SettingFieldReader& reader);
IntelligenceThresholds thresholds(SettingFieldReader& reader);

}  // namespace SettingFields

}  // namespace kivo
