#pragma once

#include <QLoggingCategory>

namespace kivo {

// "kivo.settings": values read from the settings file that were not used as written, and a
// file that could not be read or saved.
Q_DECLARE_LOGGING_CATEGORY(settingsLog)

}  // namespace kivo
