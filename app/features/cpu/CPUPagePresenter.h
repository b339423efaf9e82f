#pragma once

#include "collectors/CPUTopology.h"
#include "collectors/SensorCapability.h"
#include "collectors/SystemInfo.h"
#include "metrics/ValueFormatter.h"
#include "model/LiveRing.h"

#include <QString>

#include <optional>
#include <vector>

namespace kivo {

class MonitorModel;

// Every text of the CPU page for one state of the model; "—" for what is absent.
struct CPUPageState {
  bool hasCPU = false;
  QString total;  // user + system
  QString user;
  QString system;
  QString idle;
  QString loadAverage;
  QString peak;
  QString average;
  QString samplingInterval;
  QString measuredInterval;
};

struct PeakAndAverage {
  std::optional<double> peak;
  std::optional<double> average;
};

namespace CPUPagePresenter {

// "<chip> · 8 cores"; only the chip when the core count could not be read.
QString subtitle(const SystemInfo& system);
// "6 Performance cores · 4 Efficiency cores"; absent on a processor with one kind of core.
std::optional<QString> levelLine(const CPUTopology& topology);
// A share of CPU time (0…1) as a percentage with one decimal; "—" when not finite.
QString percent(double fraction, const ValueFormatter& format);
// "1.23   0.50   2.00"; "—" without values.
QString loadAverage(const std::vector<double>& values, const ValueFormatter& format);
// Largest and mean of the newest `last` points (fewer when the series is shorter); points that
// are not finite are skipped.
PeakAndAverage peakAndAverage(const LiveRing& series, int last);
// Why the frequency is not shown: the capability table's note, as the table words it.
QString frequencyReason(const std::vector<SensorCapability>& capabilities);

CPUPageState state(const MonitorModel& model);

}  // namespace CPUPagePresenter

}  // namespace kivo
