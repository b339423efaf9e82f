#pragma once

#include "collectors/PowerSample.h"
#include "collectors/ProcessSample.h"
#include "metrics/Metric.h"
#include "metrics/ValueFormatter.h"

#include <QString>

#include <optional>
#include <vector>

namespace kivo {

// What the power page shows, decided without a display.
namespace PowerPresenter {

// Below this charge (percent) the meter is drawn in the danger colour.
inline constexpr double kLowCharge = 15;
inline constexpr std::size_t kEnergyRows = 8;

struct Row {
  QString label;
  QString value;
  std::optional<MetricQuality> quality;
  bool operator==(const Row&) const = default;
};

QString chargeText(const PowerSample& power, const ValueFormatter& format);
// The meter's fill: the charge as a fraction clamped to 0…1; absent without a charge.
std::optional<double> meterFraction(const PowerSample& power);
bool meterDanger(const PowerSample& power);

// Power source, time rows, Low Power Mode (when there is a profile to read), adapter.
std::vector<Row> batteryRows(const PowerSample& power, const ValueFormatter& format);
std::vector<Row> healthRows(const PowerSample& power, const ValueFormatter& format);
std::vector<Row> flowRows(const PowerSample& power, const ValueFormatter& format);
// "On" or "Off"; absent when no power profile can be read, which lowPowerReason explains.
std::optional<QString> lowPowerText(const PowerSample& power);
QString lowPowerReason();

struct EnergyRow {
  int pid = 0;
  QString name;
  QString value;
};
// Processes billed more than 0.01 W, highest first (stable), at most kEnergyRows.
std::vector<EnergyRow> energyRows(const ProcessSample* sample, const ValueFormatter& format);

}  // namespace PowerPresenter

}  // namespace kivo
