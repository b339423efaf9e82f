#include "collectors/ThermalLevel.h"

#include "metrics/JsonFields.h"

#include <array>
#include <cmath>

namespace kivo::Thermal {

namespace {
constexpr std::array<ThermalLevel, 4> kLevels{ThermalLevel::nominal, ThermalLevel::fair,
                                              ThermalLevel::serious, ThermalLevel::critical};
constexpr std::array<std::string_view, 4> kNames{"nominal", "fair", "serious", "critical"};
}  // namespace

std::span<const ThermalLevel> allCases() {
  return kLevels;
}

std::optional<ThermalLevel> fromRawValue(std::int64_t raw) {
  if (raw < 0 || raw > 3) return std::nullopt;
  return kLevels[static_cast<std::size_t>(raw)];
}

std::string_view name(ThermalLevel level) {
  return kNames[static_cast<std::size_t>(rawValue(level))];
}

QJsonValue toJson(ThermalLevel level) {
  return QJsonValue(rawValue(level));
}

std::optional<ThermalLevel> fromJson(const QJsonValue& value) {
  const auto number = JsonFields::as<std::int64_t>(value);
  if (!number || *number < 0 || *number > 3) return std::nullopt;
  return fromRawValue(*number);
}

}  // namespace kivo::Thermal
