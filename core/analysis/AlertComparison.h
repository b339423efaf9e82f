#pragma once

#include <QJsonValue>

#include <optional>
#include <span>
#include <string_view>

namespace kivo {

enum class AlertComparison { above, below };

namespace AlertComparisons {
std::span<const AlertComparison> allCases();
std::string_view rawValue(AlertComparison comparison);
std::optional<AlertComparison> fromRawValue(std::string_view raw);
QJsonValue toJson(AlertComparison comparison);
std::optional<AlertComparison> fromJson(const QJsonValue& value);
}  // namespace AlertComparisons

}  // namespace kivo
