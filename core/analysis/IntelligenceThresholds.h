#pragma once

#include <QJsonObject>
#include <QString>

#include <cstdint>
#include <optional>

namespace kivo {

// The detectors' user-adjustable limits.
struct IntelligenceThresholds {
  double cpuPercent = 85;                 // percent
  double cpuMinutes = 10;                 // minutes
  double pressureMinutes = 5;             // minutes
  double swapGrowthBytes = 2147483648.0;  // bytes (2 GiB)
  double diskHorizonDays = 30;            // days
  double networkFloor = 5242880;          // bytes per second (5 MiB/s)
  std::int64_t processEpisodes = 3;

  bool operator==(const IntelligenceThresholds&) const = default;

  QJsonObject toJson() const;
  // Every key required with its exact type ("processEpisodes" a whole number),
  // numbers finite; unknown keys ignored; no range check.
  static std::optional<IntelligenceThresholds> fromJson(const QJsonObject& object, QString* error = nullptr);
};

}  // namespace kivo
