#pragma once

#include "reporting/ReportKind.h"

#include <QString>

namespace kivo::ReportText {

// The kind's title as the picker shows it ("System Overview Report"), localised.
QString title(ReportKind kind);
// One sentence on what a report of the kind covers, localised.
QString summary(ReportKind kind);

}  // namespace kivo::ReportText
