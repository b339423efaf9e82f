#include "desktop/DesktopLog.h"

namespace kivo {

Q_LOGGING_CATEGORY(desktopLog, "kivo.desktop", QtInfoMsg)

}  // namespace kivo
