#include "features/dashboard/WidgetFigures.h"

#include "metrics/ValueFormatter.h"
#include "scheduler/TelemetrySnapshot.h"
#include "texts/Localized.h"

#include <algorithm>
#include <cmath>

namespace kivo::WidgetFigures {

int sparklineWindow(WidgetSize size) {
  return size == WidgetSize::small ? 60 : 120;
}

double dualCeiling(std::span<const double> a, std::span<const double> b) {
  double ceiling = 1024;
  for (double value : a) {
    if (std::isfinite(value)) ceiling = std::max(ceiling, value);
  }
  for (double value : b) {
    if (std::isfinite(value)) ceiling = std::max(ceiling, value);
  }
  return ceiling;
}

QString cpuCaption(const TelemetrySnapshot* snapshot, const ValueFormatter& format) {
  if (!snapshot || !snapshot->cpu) return {};
  const CPULoad& total = snapshot->cpu->total;
  return kivo::tr("User %1 · System %2", format.percent(total.user * 100, 0),
                  format.percent(total.system * 100, 0));
}

VolumeMeter volumeMeter(const VolumeInfo& volume) {
  if (volume.total == 0) return {};
  const double fraction = volume.usedFraction();
  return {fraction, fraction > 0.9};
}

BatteryMeter batteryMeter(const PowerSample& power) {
  if (!power.charge || !std::isfinite(*power.charge)) return {};
  return {std::clamp(*power.charge / 100, 0.0, 1.0), *power.charge < 15};
}

std::optional<TimeRow> batteryTime(const PowerSample& power) {
  if (power.isCharging && power.minutesToFull) {
    return TimeRow{kivo::tr("Until full"), static_cast<double>(*power.minutesToFull) * 60};
  }
  if (power.minutesToEmpty)
    return TimeRow{kivo::tr("Remaining"), static_cast<double>(*power.minutesToEmpty) * 60};
  if (power.minutesToFull)
    return TimeRow{kivo::tr("Until full"), static_cast<double>(*power.minutesToFull) * 60};
  return std::nullopt;
}

std::optional<double> uptime(const SystemInfo& system, const QDateTime& now) {
  if (!system.bootTime.isValid() || system.bootTime.toMSecsSinceEpoch() <= 0) return std::nullopt;
  const qint64 ms = system.bootTime.msecsTo(now);
  if (ms < 0) return std::nullopt;
  return static_cast<double>(ms) / 1000;
}

}  // namespace kivo::WidgetFigures
