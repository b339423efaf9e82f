#include "features/tray/MenuBarPanelPresenter.h"
#include "metrics/OutsideText.h"

#include "model/MonitorModel.h"
#include "texts/AlertText.h"
#include "texts/Localized.h"
#include "texts/PowerText.h"
#include "texts/ThermalText.h"

#include <algorithm>

namespace kivo::MenuBarPanelPresenter {

namespace {
const QString kMissing = QStringLiteral("\u2014");
}

std::vector<ProcessRecord> topProcesses(const ProcessSample* sample, int count) {
  std::vector<ProcessRecord> rows;
  if (!sample || count <= 0) return rows;
  for (const ProcessRecord& record : sample->processes) {
    if (record.cpuPercent) rows.push_back(record);
  }
  std::stable_sort(rows.begin(), rows.end(), [](const ProcessRecord& a, const ProcessRecord& b) {
    return *a.cpuPercent > *b.cpuPercent;
  });
  if (rows.size() > static_cast<std::size_t>(count)) rows.resize(static_cast<std::size_t>(count));
  return rows;
}

MenuBarPanelState state(const MonitorModel& model) {
  const ValueFormatter& format = model.format();
  const auto& snapshot = model.snapshot();
  MenuBarPanelState state;
  using Tile = MenuBarPanelState::Tile;
  using Kind = MenuBarPanelState::TileKind;

  if (snapshot && snapshot->thermal)
    state.thermal = {*snapshot->thermal, ThermalText::name(*snapshot->thermal)};
  state.paused = model.isPaused();
  for (const AlertRule& rule : model.firing())
    state.alerts.push_back({rule.id, AlertText::title(rule), rule.severity});

  Tile cpu{Kind::cpu, tr("CPU"), std::nullopt, model.values(MetricID::cpuTotal, kSparklinePoints), 100.0};
  if (auto value = model.latest(MetricID::cpuTotal)) cpu.value = format.percent(*value, 0);

  // Without a known size of memory the line is scaled to its own largest value.
  const auto physical = model.system().physicalMemory;
  Tile memory{Kind::memory, tr("Memory"), std::nullopt, model.values(MetricID::memUsed, kSparklinePoints),
              physical > 0 ? std::optional<double>(static_cast<double>(physical)) : std::nullopt};
  if (snapshot && snapshot->memory) {
    const MemorySample& m = *snapshot->memory;
    memory.value =
        format.bytes(m.used, true) + QStringLiteral(" \u00b7 ") + format.percent(m.usedFraction() * 100, 0);
  }

  Tile network{Kind::network, tr("Network"), std::nullopt, model.values(MetricID::netDown, kSparklinePoints),
               std::nullopt};
  if (auto down = model.latest(MetricID::netDown)) {
    network.value = QStringLiteral("\u2193 ") + format.rate(*down) + QStringLiteral("  \u2191 ") +
                    format.rate(model.latest(MetricID::netUp).value_or(0));
  }

  // The line shows the write rate while the text starts with the read rate.
  Tile disk{Kind::disk, tr("Disk"), std::nullopt, model.values(MetricID::diskWrite, kSparklinePoints),
            std::nullopt};
  if (auto read = model.latest(MetricID::diskRead)) {
    // The panel has room for whole rates, as the network tile shows them; the label keeps "2.5M".
    disk.value = QStringLiteral("R ") + format.rate(*read) + QStringLiteral("  W ") +
                 format.rate(model.latest(MetricID::diskWrite).value_or(0));
  }
  state.tiles = {std::move(cpu), std::move(memory), std::move(network), std::move(disk)};

  if (snapshot && snapshot->power.hasBattery) {
    const PowerSample& power = snapshot->power;
    state.battery = MenuBarPanelState::Battery{PowerText::state(power), power.isCharging,
                                               power.charge ? format.percent(*power.charge, 0) : kMissing};
  }

  for (const ProcessRecord& record : topProcesses(model.processes())) {
    state.processes.push_back(
        {record.pid, OutsideText::visible(record.name), format.percent(*record.cpuPercent, 1)});
  }
  return state;
}

}  // namespace kivo::MenuBarPanelPresenter
