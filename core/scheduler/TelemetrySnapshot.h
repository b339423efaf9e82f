#pragma once

#include "analysis/AlertRule.h"
#include "analysis/AlertTransition.h"
#include "collectors/CPUSample.h"
#include "collectors/DNSConfiguration.h"
#include "collectors/DiskActivitySample.h"
#include "collectors/GPUStatistics.h"
#include "collectors/MemorySample.h"
#include "collectors/NetworkSample.h"
#include "collectors/PowerSample.h"
#include "collectors/ProcessSample.h"
#include "collectors/ThermalLevel.h"
#include "collectors/VolumeInfo.h"
#include "collectors/WiFiLink.h"
#include "metrics/Metric.h"
#include "storage/StoreWriteStatus.h"

#include <QDateTime>

#include <cstdint>
#include <optional>
#include <vector>

namespace kivo {

// Everything one tick read and computed; published to every subscriber and
// shared read-only (std::shared_ptr<const TelemetrySnapshot>).
struct TelemetrySnapshot {
  QDateTime date;
  std::int64_t sequence = 0;  // 1 for the first published snapshot
  double interval = 0;        // the tick's effective interval, seconds
  std::optional<CPUSample> cpu;
  std::optional<MemorySample> memory;
  std::optional<DiskActivitySample> disk;
  std::vector<VolumeInfo> volumes;
  std::optional<NetworkSample> network;
  std::optional<ProcessSample> processes;   // only on ticks where processes were due
  PowerSample power;                        // neutral until the first power reading
  std::optional<ThermalLevel> thermal;      // absent without thermal zones
  std::vector<GPUStatistics> gpu;           // empty when best-effort readings are off
  std::optional<WiFiLink> wifi;             // slow reading; absent without a wireless interface
  std::optional<DNSConfiguration> dns;      // slow reading; absent before the first
  std::optional<double> selfCPU;            // percent of one core
  std::optional<std::uint64_t> selfMemory;  // bytes; absent when it cannot be read
  double collectionTime = 0;                // milliseconds
  std::vector<MetricValue> values;          // in MetricID order
  std::vector<AlertTransition> alerts;
  std::vector<AlertRule> firingRules;
  bool afterDiscontinuity = false;
  // The latest flush of the history failed: what the store said then. Absent while writes succeed.
  std::optional<StoreWriteStatus> storeFailure;
};

}  // namespace kivo
