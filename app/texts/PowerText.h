#pragma once

#include "collectors/PowerSample.h"

#include <QString>

namespace kivo::PowerText {

// "Fully charged", else "Charging", else the source's state ("On battery" ...). Whether a
// battery exists and its charge play no part.
QString state(const PowerSample& sample);
// "AC adapter", "Battery", "UPS", "Unknown".
QString source(PowerSourceKind kind);

}  // namespace kivo::PowerText
