#pragma once

#include <QJsonObject>
#include <QString>

#include <cstdint>
#include <optional>

namespace kivo {

// One GPU's driver statistics. Only what the driver publishes is present.
struct GPUStatistics {
  QString name;
  std::optional<std::int64_t> coreCount;
  std::optional<double> deviceUtilization;       // percent 0..100
  std::optional<double> rendererUtilization;     // percent 0..100
  std::optional<double> tilerUtilization;        // percent 0..100
  std::optional<std::uint64_t> memoryInUse;      // bytes (dedicated video memory in use)
  std::optional<std::uint64_t> memoryAllocated;  // bytes

  GPUStatistics() = default;
  explicit GPUStatistics(QString name) : name(std::move(name)) {}

  // True when the record carries at least one figure besides its name.
  bool hasFigures() const;

  bool operator==(const GPUStatistics&) const = default;

  QJsonObject toJson() const;
  // name is required; the figures may be missing.
  static std::optional<GPUStatistics> fromJson(const QJsonObject& object);
};

}  // namespace kivo
