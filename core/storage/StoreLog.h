#pragma once

#include <QLoggingCategory>

namespace kivo {

// "kivo.store": what the history store says about its file (a user silences it with
// QT_LOGGING_RULES="kivo.store.warning=false").
Q_DECLARE_LOGGING_CATEGORY(storeLog)

}  // namespace kivo
