#include "analysis/FindingKind.h"

#include "metrics/RawValueTable.h"

#include <array>

namespace kivo::FindingKinds {

namespace {
constexpr auto kTable = rawValueTable<FindingKind>({{FindingKind::sustainedCPU, "sustainedCPU"},
                                                    {FindingKind::memoryPressure, "memoryPressure"},
                                                    {FindingKind::swapGrowth, "swapGrowth"},
                                                    {FindingKind::diskExhaustion, "diskExhaustion"},
                                                    {FindingKind::networkAnomaly, "networkAnomaly"},
                                                    {FindingKind::processSpikes, "processSpikes"},
                                                    {FindingKind::thermalPressure, "thermalPressure"}});
}  // namespace

std::span<const FindingKind> allCases() {
  return kTable.allCases();
}
std::string_view rawValue(FindingKind kind) {
  return kTable.rawValue(kind);
}
std::optional<FindingKind> fromRawValue(std::string_view raw) {
  return kTable.fromRawValue(raw);
}
QJsonValue toJson(FindingKind kind) {
  return kTable.toJson(kind);
}
std::optional<FindingKind> fromJson(const QJsonValue& value) {
  return kTable.fromJson(value);
}

}  // namespace kivo::FindingKinds
