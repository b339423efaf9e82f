#pragma once

#include <QJsonValue>

#include <optional>
#include <span>
#include <string_view>

namespace kivo {

// The three tables of metric history: every sample, one-minute and one-hour summaries.
enum class StoreTier { raw, minute, hour };

namespace StoreTiers {
std::span<const StoreTier> allCases();
// The case name, which is also the table name.
std::string_view rawValue(StoreTier tier);
std::optional<StoreTier> fromRawValue(std::string_view raw);
// Base step in seconds: raw 0 (the sampling interval decides), minute 60, hour 3600.
double step(StoreTier tier);
QJsonValue toJson(StoreTier tier);
std::optional<StoreTier> fromJson(const QJsonValue& value);
}  // namespace StoreTiers

}  // namespace kivo
