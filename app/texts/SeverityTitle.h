#pragma once

#include "storage/Severity.h"

#include <QString>

namespace kivo::Severities {

// "Info", "Warning", "Critical", localised.
QString title(Severity severity);

}  // namespace kivo::Severities
