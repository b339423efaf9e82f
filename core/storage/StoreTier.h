#pragma once

#include "metrics/RawValueTable.h"

#include <QJsonValue>

#include <optional>
#include <span>
#include <string_view>

namespace kivo {

// The three tables of metric history: every sample, one-minute and one-hour summaries.
enum class StoreTier { raw, minute, hour };

// The raw value is the case name, which is also the table name.
inline constexpr auto kStoreTierRawValues = rawValueTable<StoreTier>(
    {{StoreTier::raw, "raw"}, {StoreTier::minute, "minute"}, {StoreTier::hour, "hour"}});

struct StoreTiers : RawValueLookups<kStoreTierRawValues> {
  // Base step in seconds: raw 0 (the sampling interval decides), minute 60, hour 3600.
  static double step(StoreTier tier);
};

}  // namespace kivo
