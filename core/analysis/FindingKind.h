#pragma once

#include "metrics/RawValueTable.h"

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

inline constexpr auto kFindingKindRawValues =
    rawValueTable<FindingKind>({{FindingKind::sustainedCPU, "sustainedCPU"},
                                {FindingKind::memoryPressure, "memoryPressure"},
                                {FindingKind::swapGrowth, "swapGrowth"},
                                {FindingKind::diskExhaustion, "diskExhaustion"},
                                {FindingKind::networkAnomaly, "networkAnomaly"},
                                {FindingKind::processSpikes, "processSpikes"},
                                {FindingKind::thermalPressure, "thermalPressure"}});

struct FindingKinds : RawValueLookups<kFindingKindRawValues> {};

}  // namespace kivo
