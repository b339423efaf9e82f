#pragma once

#include "design/Tokens.h"
#include "storage/Severity.h"

#include <QString>

namespace kivo::SeverityLook {

// The one look of a severity on the alerts and insights pages: info in the accent colour,
// warning in the warning colour, critical in the danger colour, each with its own symbol.
QString symbol(Severity severity);
DynamicColor color(Severity severity);

}  // namespace kivo::SeverityLook
