#include "platform/PowerSupplies.h"

#include <algorithm>

namespace kivo::PowerSupplies {

namespace {

constexpr std::string_view kClassDir = "/sys/class/power_supply";

std::vector<std::string> listNames(const KernelFiles& files) {
  std::vector<std::string> names = files.list(kClassDir);
  std::erase_if(names, [](const std::string& name) { return name.front() == '.'; });
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

std::vector<PowerSupply> read(const KernelFiles& files) {
  std::vector<PowerSupply> supplies;
  std::string base;
  std::string buffer;
  auto text = [&](std::string_view attribute) -> std::optional<std::string> {
    const std::size_t keep = base.size();
    base.append(attribute);
    const bool ok = files.read(base, buffer);
    base.resize(keep);
    if (!ok) return std::nullopt;
    std::string_view rest = buffer;
    std::string_view line;
    if (!KernelText::nextLine(rest, line)) return std::nullopt;
    line = KernelText::trim(line);
    if (line.empty()) return std::nullopt;
    return std::string(line);
  };
  auto number = [&](std::string_view attribute) -> std::optional<std::int64_t> {
    const auto value = text(attribute);
    if (!value) return std::nullopt;
    return KernelText::parseInt(*value);
  };

  for (const std::string& name : listNames(files)) {
    base.assign(kClassDir).append("/").append(name).append("/");
    PowerSupply s;
    s.name = name;
    const auto type = text("type");
    if (!type) continue;
    s.type = *type;
    s.scope = text("scope").value_or(std::string());
    // A peripheral's battery (scope Device) is never the computer's: its type and scope
    // are all that is needed, and asking it more may wake a wireless device.
    if (s.scope == "Device") {
      supplies.push_back(std::move(s));
      continue;
    }
    s.online = number("online");
    s.voltageMax = number("voltage_max");
    s.currentMax = number("current_max");
    s.modelName = text("model_name");
    if (s.type == "Mains" || s.type.substr(0, 3) == "USB") {  // an adapter: nothing of a battery
      supplies.push_back(std::move(s));
      continue;
    }
    s.status = text("status").value_or(std::string());
    s.present = number("present");
    s.capacity = number("capacity");
    s.energyNow = number("energy_now");
    s.energyFull = number("energy_full");
    s.energyFullDesign = number("energy_full_design");
    s.chargeNow = number("charge_now");
    s.chargeFull = number("charge_full");
    s.chargeFullDesign = number("charge_full_design");
    s.voltageNow = number("voltage_now");
    s.voltageMinDesign = number("voltage_min_design");
    s.currentNow = number("current_now");
    s.powerNow = number("power_now");
    s.temp = number("temp");
    s.cycleCount = number("cycle_count");
    s.timeToEmptyNow = number("time_to_empty_now");
    s.timeToFullNow = number("time_to_full_now");
    s.health = text("health");
    supplies.push_back(std::move(s));
  }
  return supplies;
}

}  // namespace kivo::PowerSupplies
