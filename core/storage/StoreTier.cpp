#include "storage/StoreTier.h"

#include "metrics/RawValueTable.h"

#include <QString>

#include <array>

namespace kivo::StoreTiers {

namespace {
constexpr auto kTable = rawValueTable<StoreTier>(
    {{StoreTier::raw, "raw"}, {StoreTier::minute, "minute"}, {StoreTier::hour, "hour"}});
}  // namespace

std::span<const StoreTier> allCases() {
  return kTable.allCases();
}
std::string_view rawValue(StoreTier tier) {
  return kTable.rawValue(tier);
}
std::optional<StoreTier> fromRawValue(std::string_view raw) {
  return kTable.fromRawValue(raw);
}
double step(StoreTier tier) {
  switch (tier) {
    case StoreTier::raw:
      return 0;
    case StoreTier::minute:
      return 60;
    case StoreTier::hour:
      return 3600;
  }
  return 0;
}

QJsonValue toJson(StoreTier tier) {
  return kTable.toJson(tier);
}
std::optional<StoreTier> fromJson(const QJsonValue& value) {
  return kTable.fromJson(value);
}
}  // namespace kivo::StoreTiers
