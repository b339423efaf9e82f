#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

namespace kivo {

// The engine's sampling settings; kept by the settings as one JSON object.
struct TelemetryConfiguration {
  double interval = 2;            // seconds, while a window is in the foreground
  double backgroundInterval = 5;  // seconds, only used where longer than interval
  double processInterval = 4;     // seconds at the configured rate
  double slowInterval = 30;       // seconds between volume and power readings
  bool batterySaver = true;
  bool bestEffortMetrics = true;
  bool historyEnabled = true;
  double flushInterval = 30;  // least seconds between two flushes

  struct Range {
    double lower;
    double upper;
  };
  // What the settings offer; the engine itself does not apply it.
  static constexpr Range intervalRange{1, 10};

  bool operator==(const TelemetryConfiguration&) const = default;

  // Every interval is a finite number (NaN or infinity would reach a sleep).
  bool isValid() const;
  // A copy whose non-finite intervals are replaced by their defaults.
  TelemetryConfiguration sanitized() const;

  QJsonObject toJson() const;
  // All eight keys required with their exact types, numbers finite; unknown keys
  // are ignored; no range is checked. On failure *error says why.
  static std::optional<TelemetryConfiguration> fromJson(const QJsonObject& object, QString* error = nullptr);
};

}  // namespace kivo
