#pragma once

#include "collectors/CPUSample.h"
#include "collectors/DiskActivitySample.h"
#include "collectors/GPUStatistics.h"
#include "collectors/MemorySample.h"
#include "collectors/NetworkSample.h"
#include "collectors/PowerSample.h"
#include "collectors/ThermalLevel.h"
#include "collectors/VolumeInfo.h"
#include "metrics/Metric.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kivo::Normalizer {

// One tick's readings; a null pointer or an absent value is a reading the tick
// does not have, and its metrics are left out (never written as 0).
struct Readings {
  const CPUSample* cpu = nullptr;
  const MemorySample* memory = nullptr;
  const DiskActivitySample* disk = nullptr;
  const VolumeInfo* bootVolume = nullptr;
  const NetworkSample* network = nullptr;
  std::optional<std::int64_t> processCount;
  const PowerSample* power = nullptr;
  std::optional<ThermalLevel> thermal;  // absent on a machine without thermal zones
  std::span<const GPUStatistics> gpu;
  std::optional<double> selfCPU;            // percent of one core
  std::optional<std::uint64_t> selfMemory;  // bytes; absent when the own usage cannot be read
};

// The metric values of one tick, at most one per metric, in MetricID order.
std::vector<MetricValue> values(const Readings& readings);
// Same, written into out (cleared first) so the tick can reuse its buffer.
void values(const Readings& readings, std::vector<MetricValue>& out);

// The first volume mounted as the root, or null.
const VolumeInfo* bootVolume(std::span<const VolumeInfo> volumes);

}  // namespace kivo::Normalizer
