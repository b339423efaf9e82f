#pragma once

#include "metrics/RawValueTable.h"

#include <QJsonValue>
#include <QString>
#include <QStringView>

#include <optional>
#include <span>

namespace kivo {

// The spacing of the interface.
enum class DensityChoice { compact, regular, comfortable };

inline constexpr auto kDensityChoiceRawValues =
    rawValueTable<DensityChoice>({{DensityChoice::compact, "compact"},
                                  {DensityChoice::regular, "regular"},
                                  {DensityChoice::comfortable, "comfortable"}});

struct DensityChoices : RawValueLookups<kDensityChoiceRawValues> {};

}  // namespace kivo
