#pragma once

#include <QJsonValue>
#include <QString>

#include <optional>
#include <span>
#include <string_view>

namespace kivo {

enum class FindingKind {
  sustainedCPU,
  memoryPressure,
  swapGrowth,
  diskExhaustion,
  networkAnomaly,
  processSpikes,
  thermalPressure,
};

namespace FindingKinds {
std::span<const FindingKind> allCases();
std::string_view rawValue(FindingKind kind);
// Exact, case-sensitive match of the raw value.
std::optional<FindingKind> fromRawValue(std::string_view raw);
QJsonValue toJson(FindingKind kind);
std::optional<FindingKind> fromJson(const QJsonValue& value);
}  // namespace FindingKinds

}  // namespace kivo
