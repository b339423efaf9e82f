#include "features/thermal/ThermalPresenter.h"

#include "design/ThermalScale.h"

#include "texts/Localized.h"
#include "texts/ThermalText.h"

#include <cmath>

namespace kivo {

QString ThermalPresenter::levelText(std::optional<ThermalLevel> level) {
  return level ? ThermalText::name(*level) : QStringLiteral("—");
}

DynamicColor ThermalPresenter::levelColor(std::optional<ThermalLevel> level) {
  return level ? ThermalScale::tone(*level) : Palette::textSecondary;
}

QString ThermalPresenter::chartValueText(double value) {
  const double rounded = std::round(value);  // halves away from zero
  if (rounded >= 0 && rounded <= 3) {
    if (const auto level = Thermal::fromRawValue(static_cast<std::int64_t>(rounded)))
      return ThermalText::name(*level);
  }
  return ThermalText::name(ThermalLevel::nominal);
}

ThermalPresenter::BatteryItem ThermalPresenter::batteryItem(const PowerSample* power,
                                                            const ValueFormatter& format) {
  if (!power) return {};
  if (power->temperature) return {BatteryTemperature::row, format.temperature(*power->temperature)};
  if (power->hasBattery) return {BatteryTemperature::unavailable, {}};
  return {};
}

std::vector<const SensorCapability*> ThermalPresenter::filtered(
    const std::vector<SensorCapability>& capabilities, const QString& filter) {
  std::vector<const SensorCapability*> passing;
  for (const SensorCapability& capability : capabilities) {
    if (filter.isEmpty() || translated(capability.name).contains(filter, Qt::CaseInsensitive) ||
        translated(capability.category).contains(filter, Qt::CaseInsensitive)) {
      passing.push_back(&capability);
    }
  }
  return passing;
}

}  // namespace kivo
