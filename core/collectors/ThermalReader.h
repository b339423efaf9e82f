#pragma once

#include "collectors/ThermalLevel.h"
#include "platform/KernelFiles.h"
#include "platform/ThermalZones.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kivo {

// Linux publishes no thermal state for the whole computer, so it is estimated from the
// thermal zones: each zone's temperature against its own trip points.
//   at or above the lowest "critical" trip → critical (the kernel shuts down here)
//   at or above the lowest "hot" trip      → serious
//   at or above the lowest "passive" trip  → fair (the kernel starts throttling)
//   below them                             → nominal
// The computer's level is the highest over its zones. Only zones with a plausible
// temperature and at least one such trip count; with none the level is absent, never a
// made-up nominal.
namespace ThermalRule {

struct Limits {
  std::optional<std::int64_t> passive, hot, critical;  // millidegrees Celsius

  bool empty() const { return !passive && !hot && !critical; }
  bool operator==(const Limits&) const = default;
};

// The lowest plausible trip of each kind (placeholders such as 0 or 255 °C are ignored).
Limits limits(std::span<const ThermalTrip> trips);
// The level of one zone; absent for an implausible temperature or no limits.
std::optional<ThermalLevel> level(std::int64_t milliCelsius, const Limits& limits);

}  // namespace ThermalRule

// Reads the thermal level on every tick: the zones' temp files stay open and the trip
// points are re-read only now and then.
class ThermalReader {
 public:
  explicit ThermalReader(std::string root = "/");
  ThermalReader(const ThermalReader&) = delete;
  ThermalReader& operator=(const ThermalReader&) = delete;

  std::optional<ThermalLevel> read();
  // Forget the zones; the next read looks for them again.
  void reset();

  // One reading of the running system (or of a fixture tree).
  static std::optional<ThermalLevel> current(const std::string& root = "/");

 private:
  struct Zone {
    KernelFile temperature;
    ThermalRule::Limits limits;
  };
  void rescan();

  KernelFiles files_;
  std::vector<Zone> zones_;
  std::string buffer_;
  unsigned readsSinceScan_ = 0;
  bool needsScan_ = true;
};

}  // namespace kivo
