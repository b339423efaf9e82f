#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <span>

namespace kivo {

// A span of time ending now, offered by the history and report pages. Fixed lengths: a month
// is 30 days and a year 365, with no calendar arithmetic.
enum class HistoryRange { hour, sixHours, day, week, month, year };

namespace HistoryRanges {
std::span<const HistoryRange> allCases();
QString rawValue(HistoryRange range);
std::optional<HistoryRange> fromRawValue(QStringView raw);
double seconds(HistoryRange range);
// "1 hour", "6 hours", "24 hours", "7 days", "30 days", "1 year", localised.
QString title(HistoryRange range);
}  // namespace HistoryRanges

}  // namespace kivo
