#pragma once

#include "analysis/Finding.h"
#include "metrics/ValueFormatter.h"
#include "reporting/ReportGenerator.h"

#include <QString>

namespace kivo::FindingText {

// What was found, in a few words; depends on the kind (and for network anomalies the
// direction, for process spikes the process name).
QString title(const Finding& finding);
// The finding's figures in one or two sentences.
QString explanation(const Finding& finding, const ValueFormatter& formatter);
// What to do about it.
QString action(const Finding& finding);
// The title and the explanation, for the report writers.
FindingWords words(const ValueFormatter& formatter);

}  // namespace kivo::FindingText
