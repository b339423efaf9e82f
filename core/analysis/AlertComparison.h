#pragma once

#include "metrics/RawValueTable.h"

#include <QJsonValue>

#include <optional>
#include <span>
#include <string_view>

namespace kivo {

enum class AlertComparison { above, below };

inline constexpr auto kAlertComparisonRawValues =
    rawValueTable<AlertComparison>({{AlertComparison::above, "above"}, {AlertComparison::below, "below"}});

struct AlertComparisons : RawValueLookups<kAlertComparisonRawValues> {};

}  // namespace kivo
