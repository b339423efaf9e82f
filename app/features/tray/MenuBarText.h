#pragma once

#include "settings/MenuBarItem.h"

#include <QString>

namespace kivo::MenuBarText {

// The localised name of an indicator: "CPU", "Memory", "Network", "Disk activity", "Battery".
QString title(MenuBarItem item);

// A byte rate in a few characters, in units of 1000 and with a full stop whatever the locale:
// "0K", "999K", "1.5M", "12M", "2.5G". Negative, NaN and infinite rates read "0K".
QString shortRate(double bytesPerSecond);

}  // namespace kivo::MenuBarText
