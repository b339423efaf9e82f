#pragma once

#include "analysis/AlertRule.h"
#include "collectors/PowerSample.h"
#include "collectors/SystemInfo.h"
#include "collectors/ThermalLevel.h"
#include "collectors/VolumeInfo.h"
#include "design/Tokens.h"
#include "settings/WidgetConfig.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <span>

namespace kivo {

class ValueFormatter;
struct TelemetrySnapshot;

// The decisions behind the dashboard's widgets, without widgets: windows, ceilings, colours,
// rows and texts.
namespace WidgetFigures {

// Live points a sparkline plots: 60 on a small card, 120 on a wider one.
int sparklineWindow(WidgetSize size);
// Points both series of a dual widget take for their shared ceiling, whatever the size.
inline constexpr int kCeilingWindow = 120;
// The largest of both series' values, never below 1024 bytes per second.
double dualCeiling(std::span<const double> a, std::span<const double> b);

// "User 12 % · System 3 %" from the snapshot's CPU sample; empty without one.
QString cpuCaption(const TelemetrySnapshot* snapshot, const ValueFormatter& format);

// A volume's meter: the used share (0 for an empty total) and whether it is drawn in danger
// (strictly above 90 %).
struct VolumeMeter {
  double fraction = 0;
  bool danger = false;
};
VolumeMeter volumeMeter(const VolumeInfo& volume);

// The battery meter: charge / 100 held within 0…1 (a charge over 100 % does not overfill it),
// danger strictly below 15 %.
struct BatteryMeter {
  double fraction = 0;
  bool danger = false;
};
BatteryMeter batteryMeter(const PowerSample& power);

// The battery's time row: "Until full" with the time to full while charging, "Remaining" with
// the time to empty otherwise; absent when the figure it needs is.
struct TimeRow {
  QString label;
  double seconds = 0;
};
std::optional<TimeRow> batteryTime(const PowerSample& power);

// Seconds since boot at `now`; absent when the boot time is unknown (not after the epoch) or
// later than now.
std::optional<double> uptime(const SystemInfo& system, const QDateTime& now);

// The first four rules shown by the alerts widget.
inline constexpr std::size_t kAlertRows = 4;
// The top-process widgets' rows.
inline constexpr std::size_t kProcessRows = 5;

}  // namespace WidgetFigures

}  // namespace kivo
