#include "scheduler/SchedulerMath.h"

#include <cmath>

namespace kivo::SchedulerMath {

double effectiveInterval(const TelemetryConfiguration& configuration, bool foreground, bool onBattery,
                         bool lowPower) {
  const double configured =
      std::isfinite(configuration.interval) ? configuration.interval : TelemetryConfiguration{}.interval;
  double i = configured;
  if (!foreground && std::isfinite(configuration.backgroundInterval) &&
      configured <= configuration.backgroundInterval) {
    i = configuration.backgroundInterval;
  }
  if (configuration.batterySaver && (onBattery || lowPower)) i = 2 * i;
  if (i <= kMinimumInterval) i = kMinimumInterval;
  if (i > kMaximumInterval) i = kMaximumInterval;
  return i;
}

double processCadence(const TelemetryConfiguration& configuration, double effective) {
  const TelemetryConfiguration defaults;
  const double process =
      std::isfinite(configuration.processInterval) ? configuration.processInterval : defaults.processInterval;
  const double interval = std::isfinite(configuration.interval) ? configuration.interval : defaults.interval;
  return process * effective / (interval <= kMinimumInterval ? kMinimumInterval : interval);
}

double discontinuityBound(double planned) {
  const double fourfold = 4 * planned;
  const double padded = planned + 10;
  return fourfold <= padded ? padded : fourfold;
}

bool isDiscontinuity(double elapsed, double planned) {
  if (std::isnan(elapsed) || std::isnan(planned)) return false;
  return elapsed > discontinuityBound(planned);
}

}  // namespace kivo::SchedulerMath
