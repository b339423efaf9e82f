#pragma once

#include <QJsonValue>

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kivo {

// Importance of an alert, finding or stored event. The raw value is what the
// events table and every JSON form store; ordering follows it.
enum class Severity : int { info = 0, warning = 1, critical = 2 };

namespace Severities {
// info, warning, critical.
std::span<const Severity> allCases();
constexpr int rawValue(Severity severity) {
  return static_cast<int>(severity);
}
std::optional<Severity> fromRawValue(std::int64_t raw);
// The case name ("info", "warning", "critical").
std::string_view name(Severity severity);
QJsonValue toJson(Severity severity);
// Only an integral JSON number 0, 1 or 2 decodes.
std::optional<Severity> fromJson(const QJsonValue& value);
}  // namespace Severities

}  // namespace kivo
