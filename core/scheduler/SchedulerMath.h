#pragma once

#include "scheduler/TelemetryConfiguration.h"

namespace kivo::SchedulerMath {

inline constexpr double kMinimumInterval = 0.5;
inline constexpr double kMaximumInterval = 60;

// The tick's interval in seconds, always finite and within 0.5 to 60.
// A non-finite configured interval counts as the default; a non-finite
// background interval is never taken.
double effectiveInterval(const TelemetryConfiguration& configuration, bool foreground, bool onBattery,
                         bool lowPower);

// Least seconds between two process samples: processInterval scaled by
// effective / interval (interval raised to at least 0.5), so the process
// cadence keeps its ratio to the sampling interval. Non-finite configured
// values count as their defaults.
double processCadence(const TelemetryConfiguration& configuration, double effective);

// The larger of 4 × planned and planned + 10.
double discontinuityBound(double planned);

// True when elapsed is strictly beyond the bound; false when either is NaN.
bool isDiscontinuity(double elapsed, double planned);

}  // namespace kivo::SchedulerMath
