#pragma once

#include "collectors/PowerSample.h"
#include "collectors/SensorCapability.h"
#include "collectors/ThermalLevel.h"
#include "design/Tokens.h"
#include "metrics/ValueFormatter.h"

#include <QString>

#include <optional>
#include <vector>

namespace kivo {

// What the thermal page shows, decided without a display.
namespace ThermalPresenter {

// The level's name, or "—" when the computer gives none (no thermal zones with trip points).
QString levelText(std::optional<ThermalLevel> level);
// success, textPrimary, warning, danger; textSecondary without a level (never green).
DynamicColor levelColor(std::optional<ThermalLevel> level);
// The chart's value text: rounded half away from zero; 0…3 name a level, anything else Nominal.
QString chartValueText(double value);

enum class BatteryTemperature { none, row, unavailable };
struct BatteryItem {
  BatteryTemperature kind = BatteryTemperature::none;
  QString value;
};
// Nothing before the first snapshot or without a battery; the temperature when the driver
// publishes one; else an unavailable row.
BatteryItem batteryItem(const PowerSample* power, const ValueFormatter& format);

// The capabilities whose translated name or category contains the filter, ignoring case, in
// the table's order; all of them for an empty filter. The filter is used as typed.
std::vector<const SensorCapability*> filtered(const std::vector<SensorCapability>& capabilities,
                                              const QString& filter);

}  // namespace ThermalPresenter

}  // namespace kivo
