#pragma once

#include "collectors/ThermalLevel.h"

#include <QString>

#include <optional>

namespace kivo::ThermalText {

// "Nominal", "Fair", "Serious", "Critical", localised.
QString name(ThermalLevel level);
// One sentence on what the level means for the computer. The level comes from the thermal
// zones' trip points: the kernel starts throttling at the passive trip (fair) and powers the
// computer off at the critical one.
QString explanation(ThermalLevel level);
// The caption under a level: Linux has no overall thermal state, so it says where ours comes
// from; empty without a level, where there is nothing to caption.
QString caption(std::optional<ThermalLevel> level);

}  // namespace kivo::ThermalText
