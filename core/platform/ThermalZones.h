#pragma once

#include "platform/KernelFiles.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kivo {

// One trip point of a thermal zone: the kernel acts (fans, throttling, shutdown) when
// the zone's temperature reaches it.
struct ThermalTrip {
  std::string type;  // "active", "passive", "hot", "critical"
  std::int64_t milliCelsius = 0;

  bool operator==(const ThermalTrip&) const = default;
};

struct ThermalZone {
  std::string name;             // "thermal_zone0"
  std::string type;             // what the zone measures ("acpitz", "x86_pkg_temp", ...)
  std::string temperaturePath;  // kernel path of its temp file, to be re-read
  std::vector<ThermalTrip> trips;

  bool operator==(const ThermalZone&) const = default;
};

namespace ThermalZones {
// Every thermal_zone* under <root>/sys/class/thermal with its trip points, by zone
// number. Trip points whose type or temperature cannot be read are left out.
std::vector<ThermalZone> read(const KernelFiles& files);
// A zone's temperature in millidegrees, from text such as "45000\n".
std::optional<std::int64_t> parseTemperature(std::string_view text);
}  // namespace ThermalZones

}  // namespace kivo
