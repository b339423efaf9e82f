#pragma once

#include "analysis/AlertTransition.h"
#include "analysis/ProcessSpikeTracker.h"
#include "storage/StoredEvent.h"

#include <QDateTime>

namespace kivo::AnalysisEvents {

// The stored events the tick records; every number in a payload is written in
// the C locale so the detectors read it back under any user locale.

// "alert.fired" / "alert.resolved": rule, value, threshold, comparison, held.
StoredEvent alert(const AlertTransition& transition);
// "process.spike", dated at the spike's start: name, pid, peak (one decimal), duration.
StoredEvent spike(const ProcessSpikeTracker::Spike& spike);
// "system.gap": seconds, the length of the gap in whole seconds.
StoredEvent gap(double seconds, const QDateTime& date);

}  // namespace kivo::AnalysisEvents
