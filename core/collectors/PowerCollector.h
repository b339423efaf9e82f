#pragma once

#include "collectors/PowerSample.h"
#include "platform/KernelFiles.h"
#include "platform/PowerSupplies.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kivo {

class PowerProfileSource;

// Pure rules that turn /sys/class/power_supply entries into the figures of a PowerSample.
namespace PowerMath {

// The best-effort figures of the computer's battery.
struct BatteryFields {
  std::optional<std::int64_t> cycles;
  std::optional<std::int64_t> design;   // mAh
  std::optional<std::int64_t> maximum;  // mAh
  std::optional<double> volts;
  std::optional<double> amps;  // negative while discharging
  std::optional<double> celsius;
  std::optional<double> systemWatts;

  bool operator==(const BatteryFields&) const = default;
};

// A battery that powers the computer: type Battery, not scope Device (a mouse or a
// headset), and not reported as an empty slot.
bool isComputerBattery(const PowerSupply& supply);
// A mains adapter or a USB/wireless charging port of the computer.
bool isExternalSupply(const PowerSupply& supply);

// Mains or USB online → ac; a discharging battery → battery; a UPS → ups; a battery that
// is charging, full or held ("Not charging") is on external power → ac; else unknown.
PowerSourceKind source(std::span<const PowerSupply> supplies);

// capacity, else energy_now / energy_full, else charge_now / charge_full (percent, not
// clamped). Several batteries are combined by their energies (or charges) when all
// publish them.
std::optional<double> charge(std::span<const PowerSupply* const> batteries);

// Current in amperes with its sign taken from status: drivers disagree on the sign of
// current_now. Without current, power_now / voltage_now.
std::optional<double> amperage(const PowerSupply& battery);

// Whole minutes until empty (discharging) or full (charging): the driver's own
// time_to_*_now, else remaining energy over the present rate. At least one minute;
// estimates beyond 100 hours are dropped.
struct TimeEstimate {
  std::optional<std::int64_t> toEmpty;
  std::optional<std::int64_t> toFull;
};
TimeEstimate minutesRemaining(std::span<const PowerSupply* const> batteries);

// computerOnBattery: the whole computer runs from this battery, so its discharge is the
// system's draw.
BatteryFields batteryFields(const PowerSupply& battery, bool computerOnBattery);

// power-profiles-daemon's "power-saver"; without the daemon, the firmware's
// platform_profile "low-power". Absent when neither is there to ask.
std::optional<bool> lowPowerMode(const std::optional<QString>& daemonProfile,
                                 const std::optional<std::string>& platformProfile);

}  // namespace PowerMath

// Reads the power supplies afresh on every call; keeps no state and never fails.
namespace PowerCollector {

// The running system: "/" and power-profiles-daemon on the system bus.
PowerSample sample(bool includeBestEffort);
// profiles may be null: then only the firmware's platform profile is consulted.
PowerSample sample(bool includeBestEffort, const KernelFiles& files, PowerProfileSource* profiles);
// The sample for supplies already read.
PowerSample fromSupplies(std::span<const PowerSupply> supplies, bool includeBestEffort,
                         std::optional<bool> lowPowerMode);

}  // namespace PowerCollector

}  // namespace kivo
