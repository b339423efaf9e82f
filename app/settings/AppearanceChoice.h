#pragma once

#include "metrics/RawValueTable.h"

#include <QJsonValue>
#include <QString>
#include <QStringView>

#include <optional>
#include <span>

namespace kivo {

// The colour scheme of the interface; system follows the desktop.
enum class AppearanceChoice { system, light, dark };

inline constexpr auto kAppearanceChoiceRawValues =
    rawValueTable<AppearanceChoice>({{AppearanceChoice::system, "system"},
                                     {AppearanceChoice::light, "light"},
                                     {AppearanceChoice::dark, "dark"}});

struct AppearanceChoices : RawValueLookups<kAppearanceChoiceRawValues> {};

}  // namespace kivo
