#include "analysis/FindingKind.h"

#include <array>

namespace kivo::FindingKinds {

namespace {
constexpr std::array kKinds{
    FindingKind::sustainedCPU,   FindingKind::memoryPressure, FindingKind::swapGrowth,
    FindingKind::diskExhaustion, FindingKind::networkAnomaly, FindingKind::processSpikes,
    FindingKind::thermalPressure,
};
constexpr std::array<std::string_view, 7> kNames{
    "sustainedCPU", "memoryPressure", "swapGrowth", "diskExhaustion", "networkAnomaly", "processSpikes",
    "thermalPressure",
};
}  // namespace

std::span<const FindingKind> allCases() { return kKinds; }

std::string_view rawValue(FindingKind kind) { return kNames[static_cast<std::size_t>(kind)]; }

std::optional<FindingKind> fromRawValue(std::string_view raw) {
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    if (kNames[i] == raw) return kKinds[i];
  }
  return std::nullopt;
}

QJsonValue toJson(FindingKind kind) { return QString::fromLatin1(rawValue(kind).data(), rawValue(kind).size()); }

std::optional<FindingKind> fromJson(const QJsonValue& value) {
  if (!value.isString()) return std::nullopt;
  return fromRawValue(value.toString().toStdString());
}

}  // namespace kivo::FindingKinds
