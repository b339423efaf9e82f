#include "features/settings/RetentionChoices.h"

#include "settings/SettingFields.h"
#include "texts/Localized.h"

#include <array>
#include <cmath>

namespace kivo::RetentionChoices {

namespace {

// A year is 365 days.
constexpr std::array kRaw{Choice{"1 hour", 3'600}, Choice{"6 hours", 21'600}, Choice{"24 hours", 86'400},
                          Choice{"3 days", 259'200}};
constexpr std::array kMinute{Choice{"7 days", 604'800}, Choice{"14 days", 1'209'600},
                             Choice{"30 days", 2'592'000}, Choice{"90 days", 7'776'000}};
constexpr std::array kHour{Choice{"90 days", 7'776'000}, Choice{"1 year", 31'536'000},
                           Choice{"2 years", 63'072'000}, Choice{"5 years", 157'680'000}};

// The stored settings are held between the first and the last choice.
static_assert(kRaw.front().seconds == SettingFields::rawRetention.lower &&
              kRaw.back().seconds == SettingFields::rawRetention.upper);
static_assert(kMinute.front().seconds == SettingFields::minuteRetention.lower &&
              kMinute.back().seconds == SettingFields::minuteRetention.upper);
static_assert(kHour.front().seconds == SettingFields::hourRetention.lower &&
              kHour.back().seconds == SettingFields::hourRetention.upper);

}  // namespace

std::span<const Choice> raw() {
  return kRaw;
}
std::span<const Choice> minute() {
  return kMinute;
}
std::span<const Choice> hour() {
  return kHour;
}

Picker picker(std::span<const Choice> choices, double stored, const ValueFormatter& format) {
  Picker result;
  result.selected = -1;
  for (const Choice& choice : choices) {
    if (choice.seconds == stored) result.selected = static_cast<int>(result.entries.size());
    result.entries.push_back({tr(choice.title), choice.seconds});
  }
  if (result.selected < 0) {
    result.extra = true;
    result.selected = static_cast<int>(result.entries.size());
    const QString text = std::isfinite(stored) ? format.duration(stored) : QStringLiteral("—");
    result.entries.push_back({text, stored});
  }
  return result;
}

}  // namespace kivo::RetentionChoices
