#pragma once

#include "analysis/Finding.h"
#include "collectors/NetworkSample.h"
#include "collectors/PowerSample.h"
#include "collectors/ProcessSample.h"
#include "collectors/SystemInfo.h"
#include "collectors/VolumeInfo.h"
#include "reporting/ReportKind.h"
#include "storage/Series.h"
#include "storage/StoredEvent.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace kivo {

// Everything a report is built from; the reports page fills it from the store, the model and
// the settings. No defaults: every field is given.
struct ReportInputs {
  ReportKind kind;
  QDateTime from;
  QDateTime to;
  double samplingInterval;  // seconds
  SystemInfo system;
  bool includeHostName;
  std::vector<Series> series;  // normally one per entry of the kind's metrics, in that order
  std::vector<VolumeInfo> volumes;
  std::vector<NetworkInterface> interfaces;
  std::vector<ProcessRecord> processes;
  std::optional<PowerSample> power;
  std::vector<Finding> findings;
  std::vector<StoredEvent> events;  // newest first
  QString appVersion;
};

}  // namespace kivo
