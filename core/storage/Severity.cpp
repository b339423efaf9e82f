#include "storage/Severity.h"

#include "metrics/JsonFields.h"

#include <array>
#include <cmath>

namespace kivo::Severities {

namespace {
constexpr std::array<Severity, 3> kAll{Severity::info, Severity::warning, Severity::critical};
}

std::span<const Severity> allCases() {
  return kAll;
}

std::optional<Severity> fromRawValue(std::int64_t raw) {
  if (raw < 0 || raw > 2) return std::nullopt;
  return static_cast<Severity>(raw);
}

std::string_view name(Severity severity) {
  switch (severity) {
    case Severity::info:
      return "info";
    case Severity::warning:
      return "warning";
    case Severity::critical:
      return "critical";
  }
  return "info";
}

QJsonValue toJson(Severity severity) {
  return QJsonValue(rawValue(severity));
}

std::optional<Severity> fromJson(const QJsonValue& value) {
  const auto number = JsonFields::as<std::int64_t>(value);
  if (!number || *number < 0 || *number > 2) return std::nullopt;
  return fromRawValue(*number);
}

}  // namespace kivo::Severities
