#pragma once

#include <QJsonValue>

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kivo {

// The computer's thermal state. The raw value is the thermal-state metric's value and
// what the history stores; levels compare by it (nominal is the lowest).
enum class ThermalLevel : int { nominal = 0, fair = 1, serious = 2, critical = 3 };

namespace Thermal {
std::span<const ThermalLevel> allCases();
constexpr int rawValue(ThermalLevel level) {
  return static_cast<int>(level);
}
// 0..3 give the level; anything else gives none.
std::optional<ThermalLevel> fromRawValue(std::int64_t raw);
std::string_view name(ThermalLevel level);

QJsonValue toJson(ThermalLevel level);
// Only a whole JSON number 0..3 decodes.
std::optional<ThermalLevel> fromJson(const QJsonValue& value);
}  // namespace Thermal

}  // namespace kivo
