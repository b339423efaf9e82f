#pragma once

#include <QLoggingCategory>

namespace kivo {

// "kivo.desktop": why a desktop service did not do what was asked (no notification server, a
// notification refused, no tray item on the bus). Quiet unless asked for with
// QT_LOGGING_RULES="kivo.desktop.debug=true".
Q_DECLARE_LOGGING_CATEGORY(desktopLog)

}  // namespace kivo
