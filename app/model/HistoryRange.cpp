#include "model/HistoryRange.h"

#include "texts/Localized.h"

#include <array>

namespace kivo {

namespace {

struct RangeInfo {
  HistoryRange range;
  const char16_t* raw;
  double seconds;
  const char* title;
};

// QT_TRANSLATE_NOOP marks the titles for the translation tools.
constexpr std::array<RangeInfo, 6> kRanges{{
    {HistoryRange::hour, u"hour", 3600, QT_TRANSLATE_NOOP("KIVO", "1 hour")},
    {HistoryRange::sixHours, u"sixHours", 21600, QT_TRANSLATE_NOOP("KIVO", "6 hours")},
    {HistoryRange::day, u"day", 86400, QT_TRANSLATE_NOOP("KIVO", "24 hours")},
    {HistoryRange::week, u"week", 604800, QT_TRANSLATE_NOOP("KIVO", "7 days")},
    {HistoryRange::month, u"month", 2592000, QT_TRANSLATE_NOOP("KIVO", "30 days")},
    {HistoryRange::year, u"year", 31536000, QT_TRANSLATE_NOOP("KIVO", "1 year")},
}};

constexpr std::array kCases{HistoryRange::hour, HistoryRange::sixHours, HistoryRange::day,
                            HistoryRange::week, HistoryRange::month,    HistoryRange::year};

const RangeInfo& info(HistoryRange range) {
  return kRanges[static_cast<std::size_t>(range)];
}

}  // namespace

namespace HistoryRanges {
std::span<const HistoryRange> allCases() {
  return kCases;
}
QString rawValue(HistoryRange range) {
  return QString::fromUtf16(info(range).raw);
}
std::optional<HistoryRange> fromRawValue(QStringView raw) {
  for (const auto& entry : kRanges) {
    if (raw == QStringView(entry.raw)) return entry.range;
  }
  return std::nullopt;
}
double seconds(HistoryRange range) {
  return info(range).seconds;
}
QString title(HistoryRange range) {
  return tr(info(range).title);
}
}  // namespace HistoryRanges

}  // namespace kivo
