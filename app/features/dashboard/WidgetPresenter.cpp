#include "features/dashboard/WidgetPresenter.h"
#include "metrics/OutsideText.h"

#include "design/ProcessRanking.h"
#include "design/SeverityLook.h"
#include "design/ThermalScale.h"
#include "model/MonitorModel.h"
#include "settings/AppSettings.h"
#include "texts/AlertText.h"
#include "texts/Localized.h"
#include "texts/PowerText.h"
#include "texts/ThermalText.h"

#include <algorithm>

namespace kivo::WidgetPresenter {

namespace {

const QString kDash = QStringLiteral("—");

QString percentOrDash(const std::optional<double>& value, const ValueFormatter& format, int digits) {
  return value ? format.percent(*value, digits) : kDash;
}

}  // namespace

CPUState cpu(const MonitorModel& model) {
  const ValueFormatter& format = model.format();
  return {percentOrDash(model.latest(MetricID::cpuTotal), format, 0),
          WidgetFigures::cpuCaption(model.snapshot().get(), format)};
}

GPUState gpu(const MonitorModel& model) {
  GPUState state;
  const auto latest = model.latest(MetricID::gpuUtilization);
  const auto& devices = model.gpuDevices();
  const auto& snapshot = model.snapshot();
  state.value = percentOrDash(latest, model.format(), 0);
  // A figure proves a device even where the list at start found none.
  const bool hasDevice = !devices.empty() || latest || (snapshot && !snapshot->gpu.empty());
  if (!hasDevice) {
    state.shows = GPUUtilizationState::noDevice;
  } else if (!model.settings().telemetry().bestEffortMetrics) {
    state.shows = GPUUtilizationState::bestEffortOff;
  } else if (snapshot && !latest) {
    state.shows = GPUUtilizationState::noFigure;
  }
  if (!devices.empty()) state.caption = OutsideText::visible(devices.front().name);
  return state;
}

MemoryState memory(const MonitorModel& model, WidgetSize size) {
  MemoryState state;
  const auto& snapshot = model.snapshot();
  state.hasSample = snapshot && snapshot->memory;
  if (!state.hasSample) return state;
  const MemorySample& memory = *snapshot->memory;
  const ValueFormatter& format = model.format();
  state.used = format.bytes(memory.used, true);
  state.caption = kivo::tr("of %1 used", format.bytes(memory.physical, true));
  state.pressure = memory.pressure;
  state.swapShown = size != WidgetSize::small;
  state.swapUsed = format.bytes(memory.swapUsed, true);
  return state;
}

VolumesState volumes(const MonitorModel& model) {
  VolumesState state;
  const auto& snapshot = model.snapshot();
  state.waiting = !snapshot;
  if (!snapshot) return state;
  state.count = std::min(snapshot->volumes.size(), kVolumeRows);
  for (std::size_t i = 0; i < state.count; ++i) {
    const VolumeInfo& volume = snapshot->volumes[i];
    state.lines[i] = {OutsideText::visible(volume.name),
                      kivo::tr("%1 available", model.format().bytes(volume.available, false)),
                      WidgetFigures::volumeMeter(volume)};
  }
  return state;
}

RatesState rates(const MonitorModel& model, MetricID first, MetricID second) {
  const ValueFormatter& format = model.format();
  const auto a = model.latest(first);
  const auto b = model.latest(second);
  return {a ? format.rate(*a) : kDash, b ? format.rate(*b) : kDash};
}

BatteryState battery(const MonitorModel& model) {
  BatteryState state;
  const auto& snapshot = model.snapshot();
  state.waiting = !snapshot;
  state.hasBattery = snapshot && snapshot->power.hasBattery;
  if (snapshot && !state.hasBattery) state.source = PowerText::source(snapshot->power.source);
  if (!state.hasBattery) return state;
  const PowerSample& power = snapshot->power;
  state.charge = power.charge ? model.format().percent(*power.charge, 0) : kDash;
  state.caption = PowerText::state(power);
  state.meter = WidgetFigures::batteryMeter(power);
  if (const auto time = WidgetFigures::batteryTime(power)) {
    state.timeLabel = time->label;
    state.time = model.format().duration(time->seconds);
  }
  return state;
}

ThermalState thermal(const MonitorModel& model) {
  ThermalState state;
  const auto& snapshot = model.snapshot();
  state.waiting = !snapshot;
  if (!snapshot) return state;
  state.level = snapshot->thermal;
  state.value = state.level ? ThermalText::name(*state.level) : kDash;
  state.caption = ThermalText::caption(state.level);
  if (state.level) state.color = ThermalScale::tone(*state.level);
  return state;
}

TopState top(const MonitorModel& model, bool byMemory) {
  TopState state;
  const auto rows = ProcessRanking::top(model.processes(), byMemory, WidgetFigures::kProcessRows);
  const ValueFormatter& format = model.format();
  state.count = std::min(rows.size(), state.lines.size());
  for (std::size_t i = 0; i < state.count; ++i) {
    const ProcessRecord& record = *rows[i];
    state.lines[i] = {OutsideText::visible(record.name),
                      byMemory ? (record.memory ? format.bytes(*record.memory, true) : kDash)
                               : percentOrDash(record.cpuPercent, format, 1)};
  }
  return state;
}

SystemState system(const MonitorModel& model, const QDateTime& now) {
  const SystemInfo& system = model.system();
  const ValueFormatter& format = model.format();
  SystemState state;
  const auto uptime = WidgetFigures::uptime(system, now);
  state.uptime = uptime ? format.duration(*uptime) : kDash;
  const ProcessSample* processes = model.processes();
  state.processes = processes ? QString::number(processes->total) : kDash;
  const auto& snapshot = model.snapshot();
  const bool load = snapshot && snapshot->cpu && !snapshot->cpu->loadAverage.empty();
  state.load = load ? format.number(snapshot->cpu->loadAverage.front(), 2) : kDash;
  state.model = system.model ? OutsideText::visible(*system.model) : kDash;
  return state;
}

AlertsState alerts(const MonitorModel& model) {
  AlertsState state;
  const auto& firing = model.firing();
  state.count = std::min(firing.size(), state.lines.size());
  for (std::size_t i = 0; i < state.count; ++i) {
    const AlertRule& rule = firing[i];
    state.lines[i] = {SeverityLook::symbol(rule.severity), SeverityLook::color(rule.severity),
                      AlertText::title(rule)};
  }
  state.calm = firing.empty();
  if (!state.calm) return state;
  const auto& rules = model.settings().rules();
  // A rule this computer can give no value for watches nothing.
  const auto enabled = std::count_if(rules.begin(), rules.end(), [&](const AlertRule& rule) {
    return rule.isEnabled && !AlertText::unavailableHere(rule.metric, model.snapshot().get());
  });
  state.watched = kivo::tr("%1 rules are being watched.", QString::number(enabled));
  const auto& findings = model.findings();
  state.hasFindings = !findings.empty();
  state.findings = kivo::tr("%1 findings in the last 24 hours.", QString::number(findings.size()));
  return state;
}

OverheadState overhead(const MonitorModel& model) {
  const ValueFormatter& format = model.format();
  const auto& snapshot = model.snapshot();
  return {percentOrDash(model.latest(MetricID::selfCPU), format, 1),
          snapshot && snapshot->selfMemory ? format.bytes(*snapshot->selfMemory, true) : kDash,
          snapshot ? kivo::tr("%1 ms", format.number(snapshot->collectionTime, 1)) : kDash};
}

}  // namespace kivo::WidgetPresenter
