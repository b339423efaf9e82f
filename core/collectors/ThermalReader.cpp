#include "collectors/ThermalReader.h"

#include <algorithm>

namespace kivo {

namespace {
// Firmware fills unused trips with 0, 255 °C or larger sentinels; no real limit is there.
constexpr std::int64_t kLowestTrip = 1;
constexpr std::int64_t kHighestTrip = 200'000;
// A sensor that reads outside this is broken or idle (-274 °C is a common sentinel).
constexpr std::int64_t kColdest = -50'000;
constexpr std::int64_t kHottest = 200'000;
// Zones and trip points rarely change; look again every few minutes of ticks.
constexpr unsigned kReadsBetweenScans = 120;

void keepLowest(std::optional<std::int64_t>& slot, std::int64_t value) {
  if (!slot || value < *slot) slot = value;
}
}  // namespace

namespace ThermalRule {

Limits limits(std::span<const ThermalTrip> trips) {
  Limits result;
  for (const auto& trip : trips) {
    if (trip.milliCelsius < kLowestTrip || trip.milliCelsius > kHighestTrip) continue;
    if (trip.type == "passive")
      keepLowest(result.passive, trip.milliCelsius);
    else if (trip.type == "hot")
      keepLowest(result.hot, trip.milliCelsius);
    else if (trip.type == "critical")
      keepLowest(result.critical, trip.milliCelsius);
  }
  return result;
}

std::optional<ThermalLevel> level(std::int64_t milliCelsius, const Limits& limits) {
  if (limits.empty() || milliCelsius < kColdest || milliCelsius > kHottest) return std::nullopt;
  if (limits.critical && milliCelsius >= *limits.critical) return ThermalLevel::critical;
  if (limits.hot && milliCelsius >= *limits.hot) return ThermalLevel::serious;
  if (limits.passive && milliCelsius >= *limits.passive) return ThermalLevel::fair;
  return ThermalLevel::nominal;
}

}  // namespace ThermalRule

ThermalReader::ThermalReader(std::string root) : files_(std::move(root)) {}

void ThermalReader::reset() {
  zones_.clear();
  needsScan_ = true;
}

void ThermalReader::rescan() {
  zones_.clear();
  for (const auto& zone : ThermalZones::read(files_)) {
    const auto limits = ThermalRule::limits(zone.trips);
    if (limits.empty()) continue;
    zones_.push_back(Zone{KernelFile(zone.temperaturePath), limits});
  }
  readsSinceScan_ = 0;
  needsScan_ = false;
}

std::optional<ThermalLevel> ThermalReader::read() {
  if (needsScan_ || ++readsSinceScan_ >= kReadsBetweenScans) rescan();
  std::optional<ThermalLevel> highest;
  for (auto& zone : zones_) {
    // Some zones fail while their device sleeps (a Wi-Fi card that is down); the file is
    // reopened on the next read and a zone that went away drops out at the next scan.
    if (!zone.temperature.read(buffer_)) continue;
    const auto temperature = ThermalZones::parseTemperature(buffer_);
    if (!temperature) continue;
    const auto level = ThermalRule::level(*temperature, zone.limits);
    if (level && (!highest || *level > *highest)) highest = level;
  }
  return highest;
}

std::optional<ThermalLevel> ThermalReader::current(const std::string& root) {
  ThermalReader reader(root);
  return reader.read();
}

}  // namespace kivo
