#include "analysis/AlertComparison.h"

#include <QString>

#include <array>

namespace kivo::AlertComparisons {

namespace {
constexpr std::array kCases{AlertComparison::above, AlertComparison::below};
}

std::span<const AlertComparison> allCases() { return kCases; }

std::string_view rawValue(AlertComparison comparison) {
  return comparison == AlertComparison::above ? "above" : "below";
}

std::optional<AlertComparison> fromRawValue(std::string_view raw) {
  if (raw == "above") return AlertComparison::above;
  if (raw == "below") return AlertComparison::below;
  return std::nullopt;
}

QJsonValue toJson(AlertComparison comparison) {
  return QString::fromLatin1(rawValue(comparison).data(), static_cast<qsizetype>(rawValue(comparison).size()));
}

std::optional<AlertComparison> fromJson(const QJsonValue& value) {
  if (!value.isString()) return std::nullopt;
  return fromRawValue(value.toString().toStdString());
}

}  // namespace kivo::AlertComparisons
