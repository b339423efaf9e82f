#pragma once

#include "analysis/AlertTransition.h"
#include "analysis/ProcessSpikeTracker.h"
#include "storage/StoredEvent.h"

#include <QDateTime>
#include <QString>

namespace kivo::StoredEvents {

// The one place each kind of stored event is built, for the tick and for the model;
// every number in a payload is written in the C locale so the detectors read it back
// under any user locale.

// "alert.fired" / "alert.resolved": rule, value, threshold, comparison, held.
StoredEvent alert(const AlertTransition& transition);
// "process.spike", dated at the spike's start: name, pid, peak (one decimal), duration.
StoredEvent spike(const ProcessSpikeTracker::Spike& spike);
// "system.gap": seconds, the length of the gap in whole seconds.
StoredEvent gap(double seconds, const QDateTime& date);
// "system.sleep" or "system.wake" (the code given): every counter jumped; no payload.
StoredEvent discontinuity(const QString& code, const QDateTime& date);
// "network.online" (info) or "network.offline" (warning): interfaces, the names joined by ",".
StoredEvent network(bool online, const QString& interfaces, const QDateTime& date);
// "bookmark": note, the user's text as given.
StoredEvent bookmark(const QString& note, const QDateTime& date);

}  // namespace kivo::StoredEvents
