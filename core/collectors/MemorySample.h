#pragma once

#include <QJsonObject>
#include <QJsonValue>

#include <cstdint>
#include <optional>

namespace kivo {

// Stored as its number (0-2); ordered by it.
enum class MemoryPressureLevel : int { normal = 0, warning = 1, critical = 2 };

namespace MemoryPressure {
QJsonValue toJson(MemoryPressureLevel level);
std::optional<MemoryPressureLevel> fromJson(const QJsonValue& value);
std::optional<MemoryPressureLevel> fromRawValue(std::int64_t raw);
}  // namespace MemoryPressure

// Bytes unless said otherwise. used + cached + free never exceed physical.
struct MemorySample {
  std::uint64_t physical = 0;  // MemTotal
  std::uint64_t used = 0;      // app + wired + compressed, at most physical
  std::uint64_t app = 0;
  std::uint64_t wired = 0;
  // Absent when the kernel has neither zswap nor a zram device.
  std::optional<std::uint64_t> compressed;
  std::uint64_t cached = 0;
  std::uint64_t free = 0;
  std::uint64_t swapTotal = 0;
  std::uint64_t swapUsed = 0;
  // Absent when the kernel offers no pressure stall information.
  std::optional<MemoryPressureLevel> pressure;
  // Pages per second; absent without a baseline or after a counter reset.
  std::optional<double> pageInRate;
  std::optional<double> pageOutRate;
  std::optional<double> swapInRate;
  std::optional<double> swapOutRate;
  std::uint64_t pageSize = 0;

  double usedFraction() const {
    return physical == 0 ? 0.0 : static_cast<double>(used) / static_cast<double>(physical);
  }

  bool operator==(const MemorySample&) const = default;

  // Absent optionals are left out.
  QJsonObject toJson() const;
  static std::optional<MemorySample> fromJson(const QJsonObject& object);
};

}  // namespace kivo
