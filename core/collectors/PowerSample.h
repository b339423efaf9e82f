#pragma once

#include "metrics/RawValueTable.h"

#include <QJsonObject>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kivo {

// Where the computer draws its power from right now.
enum class PowerSourceKind { ac, battery, ups, unknown };

inline constexpr auto kPowerSourceKindRawValues =
    rawValueTable<PowerSourceKind>({{PowerSourceKind::ac, "ac"},
                                    {PowerSourceKind::battery, "battery"},
                                    {PowerSourceKind::ups, "ups"},
                                    {PowerSourceKind::unknown, "unknown"}});

struct PowerSource : RawValueLookups<kPowerSourceKindRawValues> {};

// One reading of the power supplies. Figures the kernel does not publish are absent;
// the four flags read false (source: unknown) when nothing can be read.
struct PowerSample {
  bool hasBattery = false;  // the computer's own battery, not a mouse's or a headset's
  PowerSourceKind source = PowerSourceKind::unknown;
  std::optional<double> charge;  // percent, not clamped
  bool isCharging = false;
  bool isCharged = false;
  std::optional<std::int64_t> minutesToEmpty;  // at least 1 when present
  std::optional<std::int64_t> minutesToFull;   // at least 1 when present
  // Absent without a power profile to read (no power-profiles-daemon, no firmware profile).
  std::optional<bool> lowPowerMode;
  std::optional<QString> health;
  std::optional<std::int64_t> adapterWatts;
  std::optional<QString> adapterName;
  // Best effort: read only when asked for and a battery exists.
  std::optional<std::int64_t> cycleCount;
  std::optional<std::int64_t> designCapacity;  // mAh
  std::optional<std::int64_t> maxCapacity;     // mAh, present full-charge capacity
  std::optional<double> voltage;               // V
  std::optional<double> amperage;              // A, negative while discharging
  std::optional<double> temperature;           // °C
  std::optional<double> systemWatts;           // W, whole computer

  PowerSample() = default;
  PowerSample(bool hasBattery, PowerSourceKind source, bool isCharging, bool isCharged,
              std::optional<bool> lowPowerMode)
      : hasBattery(hasBattery),
        source(source),
        isCharging(isCharging),
        isCharged(isCharged),
        lowPowerMode(lowPowerMode) {}

  // Power flow at the battery: negative while it discharges. Not the computer's draw on AC.
  std::optional<double> batteryWatts() const;
  // Present full-charge capacity over design capacity (1.0 = as designed).
  std::optional<double> capacityRatio() const;

  bool operator==(const PowerSample&) const = default;

  // Absent fields are left out; the four flags are required when reading.
  QJsonObject toJson() const;
  static std::optional<PowerSample> fromJson(const QJsonObject& object);
};

}  // namespace kivo
