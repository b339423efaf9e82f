#pragma once

#include "analysis/AlertRule.h"
#include "analysis/AlertTransition.h"
#include "metrics/Metric.h"
#include "metrics/ValueFormatter.h"
#include "scheduler/TelemetrySnapshot.h"

#include <QString>

#include <optional>

namespace kivo::AlertText {

// "CPU Total is high" / "... is low", with the metric's catalogue name.
QString title(const AlertRule& rule);
// A value in the wording of its metric: a thermal level name, a memory-pressure level, a
// decimal byte count for free disk space, else the metric's unit. A non-finite thermal or
// pressure value reads "—".
QString formatted(double value, MetricID metric, const ValueFormatter& formatter);
// "above 90 % for 2 min"; the two level metrics read "at or above <level>".
QString condition(const AlertRule& rule, const ValueFormatter& formatter);
// "Now 93.4 %. Condition: above 90 % for 2 min."
QString body(const AlertTransition& transition, const ValueFormatter& formatter);
// "1 active alert", "3 active alerts".
QString activeCount(qint64 count);
// Why a rule on this metric can never fire on this computer, as the newest snapshot shows it
// ("This computer has no battery."); absent where it can, and before the first snapshot.
std::optional<QString> unavailableHere(MetricID metric, const TelemetrySnapshot* snapshot);

}  // namespace kivo::AlertText
