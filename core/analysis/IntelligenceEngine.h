#pragma once

#include "analysis/Finding.h"
#include "analysis/IntelligenceThresholds.h"
#include "storage/Series.h"
#include "storage/StoredEvent.h"

#include <QDateTime>

#include <optional>
#include <vector>

namespace kivo {

class TimeSeriesStore;

namespace IntelligenceEngine {

struct Inputs {
  std::optional<Series> cpu;       // cpuTotal, minute tier
  std::optional<Series> pressure;  // memPressure, minute tier
  std::optional<Series> swap;      // swapUsed, minute tier
  std::optional<Series> diskFree;  // diskFree, hour tier
  // When the first free-space sample of diskFree's first hour was taken, seconds since 1970;
  // the finding's span starts there rather than at the top of the hour.
  std::optional<double> diskFirstSample;
  std::optional<Series> netDown;    // netDown, minute tier
  std::optional<Series> netUp;      // netUp, minute tier
  std::optional<Series> thermal;    // thermalState, minute tier
  std::vector<StoredEvent> spikes;  // process events of the window
  QDateTime now;
};

// Runs every detector and returns the findings, most severe first and, within
// one severity, latest end first (stable). Pure: same inputs, same findings.
// A detector whose threshold is not a finite number finds nothing.
std::vector<Finding> analyse(const Inputs& inputs, const IntelligenceThresholds& thresholds);

// Reads the window ending at now from the store (six minute series, fourteen
// days of hourly free disk space, the newest 2000 process events) and analyses
// it. A non-finite window or an invalid date gives no findings.
std::vector<Finding> findings(TimeSeriesStore& store, double window, const IntelligenceThresholds& thresholds,
                              const QDateTime& now);

}  // namespace IntelligenceEngine

}  // namespace kivo
