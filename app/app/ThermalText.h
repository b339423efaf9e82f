#pragma once

#include "collectors/ThermalLevel.h"

#include <QString>

namespace kivo::ThermalText {

// "Nominal", "Fair", "Serious", "Critical", localised.
QString name(ThermalLevel level);
// One sentence on what the level means for the computer.
QString explanation(ThermalLevel level);

}  // namespace kivo::ThermalText
