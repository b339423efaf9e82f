#include "settings/SettingsLog.h"

namespace kivo {

Q_LOGGING_CATEGORY(settingsLog, "kivo.settings")

}  // namespace kivo
