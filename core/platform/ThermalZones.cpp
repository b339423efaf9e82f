#include "platform/ThermalZones.h"

#include <algorithm>

namespace kivo::ThermalZones {

namespace {

constexpr std::string_view kClassDir = "/sys/class/thermal";
constexpr std::string_view kZonePrefix = "thermal_zone";
// Zones have a handful of trips; stop early on a runaway listing.
constexpr int kMaxTrips = 64;

std::optional<int> zoneNumber(std::string_view name) {
  if (name.substr(0, kZonePrefix.size()) != kZonePrefix) return std::nullopt;
  const auto number = KernelText::parseUInt(name.substr(kZonePrefix.size()));
  if (!number || *number > 1'000'000) return std::nullopt;
  return static_cast<int>(*number);
}

}  // namespace

std::optional<std::int64_t> parseTemperature(std::string_view text) {
  std::string_view line;
  if (!KernelText::nextLine(text, line)) return std::nullopt;
  return KernelText::parseInt(line);
}

std::vector<ThermalZone> read(const KernelFiles& files) {
  std::vector<std::pair<int, std::string>> names;
  for (auto& name : files.list(kClassDir)) {
    if (const auto number = zoneNumber(name)) names.emplace_back(*number, std::move(name));
  }
  std::sort(names.begin(), names.end());

  std::vector<ThermalZone> zones;
  for (const auto& [number, name] : names) {
    const std::string base = std::string(kClassDir) + "/" + name + "/";
    ThermalZone zone;
    zone.name = name;
    zone.type = files.readLine(base + "type").value_or(std::string());
    zone.temperaturePath = files.path(base + "temp");
    for (int i = 0; i < kMaxTrips; ++i) {
      const std::string trip = base + "trip_point_" + std::to_string(i) + "_";
      const auto type = files.readLine(trip + "type");
      if (!type) break;
      const auto temp = files.readInt(trip + "temp");
      if (!temp || type->empty()) continue;
      zone.trips.push_back(ThermalTrip{*type, *temp});
    }
    zones.push_back(std::move(zone));
  }
  return zones;
}

}  // namespace kivo::ThermalZones
