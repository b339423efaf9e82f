#pragma once

#include "storage/StoreWriteStatus.h"

#include <QString>

namespace kivo {

// What a person is told when the history cannot be written.
namespace HistoryText {

// The cause first ("The disk is full", "The history is read-only", ...), then what waits to be
// written and what was lost.
QString writeFailure(const StoreWriteStatus& status);
// The line written to standard error when samples are lost at quit.
QString lostAtQuit(const StoreWriteStatus& status);

}  // namespace HistoryText

}  // namespace kivo
