#pragma once

#include "collectors/SensorCapability.h"

#include <QString>

namespace kivo::CapabilityText {

// The localised name of how a figure is obtained ("Kernel interface", "Needs your permission", ...).
QString name(CapabilityClass classification);

}  // namespace kivo::CapabilityText
