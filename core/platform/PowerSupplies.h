#pragma once

#include "platform/KernelFiles.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kivo {

// One entry of /sys/class/power_supply, as the driver publishes it. Units are the
// kernel's: µV, µA, µW, µWh, µAh, tenths of a degree Celsius, seconds.
struct PowerSupply {
  std::string name;    // folder name ("BAT0", "AC", "hidpp_battery_0")
  std::string type;    // "Battery", "Mains", "USB", "UPS", ...
  std::string scope;   // "System", "Device" or empty when not published
  std::string status;  // "Charging", "Discharging", "Not charging", "Full", "Unknown" or empty
  std::optional<std::int64_t> online;
  std::optional<std::int64_t> present;
  std::optional<std::int64_t> capacity;  // percent
  std::optional<std::int64_t> energyNow, energyFull, energyFullDesign;
  std::optional<std::int64_t> chargeNow, chargeFull, chargeFullDesign;
  std::optional<std::int64_t> voltageNow, voltageMinDesign, voltageMax;
  std::optional<std::int64_t> currentNow, currentMax;
  std::optional<std::int64_t> powerNow;
  std::optional<std::int64_t> temp;
  std::optional<std::int64_t> cycleCount;
  std::optional<std::int64_t> timeToEmptyNow, timeToFullNow;
  std::optional<std::string> health;
  std::optional<std::string> modelName;

  bool operator==(const PowerSupply&) const = default;
};

namespace PowerSupplies {
// Every supply under <root>/sys/class/power_supply, sorted by name. Unreadable or
// malformed attributes are absent; a supply without a readable type is skipped. Of a
// peripheral (scope Device) only type and scope are read, of an adapter only what an
// adapter has.
std::vector<PowerSupply> read(const KernelFiles& files);
}  // namespace PowerSupplies

}  // namespace kivo
