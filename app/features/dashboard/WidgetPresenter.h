#pragma once

#include "collectors/MemorySample.h"
#include "collectors/ThermalLevel.h"
#include "design/Tokens.h"
#include "features/dashboard/WidgetFigures.h"
#include "settings/WidgetConfig.h"
#include "texts/GPUText.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <cstddef>
#include <optional>

namespace kivo {

class MonitorModel;

// The texts and states each kind of dashboard widget shows for one state of the model; "—" for
// a figure that is absent. Views only place them.
namespace WidgetPresenter {

struct CPUState {
  QString value;
  QString caption;  // empty before the first CPU sample
};
CPUState cpu(const MonitorModel& model);

struct GPUState {
  // No device, readings turned off, a driver without the figure (known after a snapshot
  // lacks it), or the figure.
  GPUUtilizationState shows = GPUUtilizationState::figure;
  QString value;
  QString caption;  // the first device's name
};
GPUState gpu(const MonitorModel& model);

struct MemoryState {
  bool hasSample = false;
  QString used;
  QString caption;
  std::optional<MemoryPressureLevel> pressure;
  bool swapShown = false;  // not on a small card
  QString swapUsed;
};
MemoryState memory(const MonitorModel& model, WidgetSize size);

struct VolumeLine {
  QString name;
  QString available;
  WidgetFigures::VolumeMeter meter;
};
inline constexpr std::size_t kVolumeRows = 3;
struct VolumesState {
  bool waiting = true;
  std::array<VolumeLine, kVolumeRows> lines;
  std::size_t count = 0;
};
VolumesState volumes(const MonitorModel& model);

// Download and upload, or read and write.
struct RatesState {
  QString first;
  QString second;
};
RatesState rates(const MonitorModel& model, MetricID first, MetricID second);

struct BatteryState {
  bool waiting = true;
  bool hasBattery = false;
  // Without a battery: the power source as the power page names it ("Unknown" when the
  // kernel lists no supply), never a guess.
  QString source;
  QString charge;
  QString caption;
  WidgetFigures::BatteryMeter meter;
  std::optional<QString> timeLabel;  // the row is hidden without it
  QString time;
};
BatteryState battery(const MonitorModel& model);

struct ThermalState {
  bool waiting = true;
  std::optional<ThermalLevel> level;
  QString value;
  QString caption;  // what the level is estimated from; empty without one
  DynamicColor color = Palette::textPrimary;
};
ThermalState thermal(const MonitorModel& model);

struct ProcessLine {
  QString name;
  QString value;
};
struct TopState {
  std::array<ProcessLine, WidgetFigures::kProcessRows> lines;
  std::size_t count = 0;  // nothing qualifies: the waiting text stands in
};
TopState top(const MonitorModel& model, bool byMemory);

struct SystemState {
  QString uptime;
  QString processes;
  QString load;
  QString model;
};
SystemState system(const MonitorModel& model, const QDateTime& now);

struct AlertLine {
  QString symbol;
  DynamicColor color;
  QString title;
};
struct AlertsState {
  std::array<AlertLine, WidgetFigures::kAlertRows> lines;
  std::size_t count = 0;
  // Without a firing rule: how many rules are watched and how many findings the day brought.
  bool calm = true;
  QString watched;
  bool hasFindings = false;
  QString findings;
};
AlertsState alerts(const MonitorModel& model);

struct OverheadState {
  QString cpu;
  QString memory;
  QString collection;
};
OverheadState overhead(const MonitorModel& model);

}  // namespace WidgetPresenter

}  // namespace kivo
