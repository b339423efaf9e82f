#include "analysis/AlertComparison.h"

#include "metrics/RawValueTable.h"

#include <QString>

#include <array>

namespace kivo::AlertComparisons {

namespace {
constexpr auto kTable =
    rawValueTable<AlertComparison>({{AlertComparison::above, "above"}, {AlertComparison::below, "below"}});
}  // namespace

std::span<const AlertComparison> allCases() {
  return kTable.allCases();
}
std::string_view rawValue(AlertComparison comparison) {
  return kTable.rawValue(comparison);
}
std::optional<AlertComparison> fromRawValue(std::string_view raw) {
  return kTable.fromRawValue(raw);
}
QJsonValue toJson(AlertComparison comparison) {
  return kTable.toJson(comparison);
}
std::optional<AlertComparison> fromJson(const QJsonValue& value) {
  return kTable.fromJson(value);
}

}  // namespace kivo::AlertComparisons
