#include "storage/StoreTier.h"

#include <QString>

#include <array>

namespace kivo::StoreTiers {

namespace {
constexpr std::array<StoreTier, 3> kAll{StoreTier::raw, StoreTier::minute, StoreTier::hour};
constexpr std::array<std::string_view, 3> kNames{"raw", "minute", "hour"};
}  // namespace

std::span<const StoreTier> allCases() {
  return kAll;
}

std::string_view rawValue(StoreTier tier) {
  return kNames[static_cast<std::size_t>(tier)];
}

std::optional<StoreTier> fromRawValue(std::string_view raw) {
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    if (kNames[i] == raw) return kAll[i];
  }
  return std::nullopt;
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
  const std::string_view name = rawValue(tier);
  return QJsonValue(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
}

std::optional<StoreTier> fromJson(const QJsonValue& value) {
  if (!value.isString()) return std::nullopt;
  return fromRawValue(value.toString().toStdString());
}

}  // namespace kivo::StoreTiers
