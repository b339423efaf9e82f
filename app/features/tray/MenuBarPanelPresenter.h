#pragma once

#include "collectors/ProcessSample.h"
#include "collectors/ThermalLevel.h"
#include "storage/Severity.h"

#include <QString>
#include <QUuid>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace kivo {

class MonitorModel;

// What the tray panel shows, read from the model in one go; the panel widget only lays it out.
// Everything is copied: the model replaces its snapshot and process sample at the next tick.
struct MenuBarPanelState {
  struct Thermal {
    ThermalLevel level = ThermalLevel::nominal;
    QString text;
  };
  struct Alert {
    QUuid id;
    QString title;
    Severity severity = Severity::warning;
    bool operator==(const Alert&) const = default;
  };
  enum class TileKind { cpu, memory, network, disk };
  struct Tile {
    TileKind kind = TileKind::cpu;
    QString title;
    std::optional<QString> value;  // absent reads "—"
    std::vector<double> values;    // sparkline, oldest first
    std::optional<double> ceiling;
  };
  struct Battery {
    QString state;
    bool charging = false;
    QString charge;  // "—" without a charge
  };
  struct Process {
    std::int32_t pid = 0;
    QString name;
    QString cpu;
    bool operator==(const Process&) const = default;
  };

  std::optional<Thermal> thermal;  // absent before the first snapshot and without thermal zones
  bool paused = false;
  std::vector<Alert> alerts;
  std::array<Tile, 4> tiles;
  std::optional<Battery> battery;
  std::vector<Process> processes;
};

namespace MenuBarPanelPresenter {

inline constexpr int kSparklinePoints = 60;
inline constexpr int kTopProcesses = 4;

MenuBarPanelState state(const MonitorModel& model);

// The busiest processes by CPU, highest first, equal values in the sample's order; processes
// without a CPU figure are never shown. Null gives none.
std::vector<ProcessRecord> topProcesses(const ProcessSample* sample, int count = kTopProcesses);

}  // namespace MenuBarPanelPresenter

}  // namespace kivo
