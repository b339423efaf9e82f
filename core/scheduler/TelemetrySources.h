#pragma once

#include "collectors/CPUSample.h"
#include "collectors/DNSConfiguration.h"
#include "collectors/DiskActivitySample.h"
#include "collectors/GPUStatistics.h"
#include "collectors/MemorySample.h"
#include "collectors/NetworkSample.h"
#include "collectors/PowerSample.h"
#include "collectors/ProcessCollector.h"
#include "collectors/ProcessSample.h"
#include "collectors/ThermalLevel.h"
#include "collectors/VolumeInfo.h"
#include "collectors/WiFiLink.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kivo {

// Everything the engine reads from the machine. The real one wraps the collectors; tests
// give the engine a scripted one so a tick runs without touching /proc.
class TelemetrySources {
 public:
  virtual ~TelemetrySources() = default;

  virtual std::optional<CPUSample> cpu(double now) = 0;
  virtual std::optional<MemorySample> memory(double now) = 0;
  virtual std::vector<VolumeInfo> volumes() = 0;
  virtual std::optional<DiskActivitySample> diskActivity(double now) = 0;
  virtual std::optional<NetworkSample> network(double now) = 0;
  virtual std::optional<ProcessSample> processes(double now) = 0;
  virtual std::optional<SelfUsage> selfUsage() = 0;
  virtual PowerSample power(bool includeBestEffort) = 0;
  virtual std::vector<GPUStatistics> gpu() = 0;
  virtual std::optional<ThermalLevel> thermal() = 0;
  // Slow readings beside volumes and power: the Wi-Fi link (a netlink request that may wait)
  // and the resolver files. The defaults read nothing (no wireless interface, no resolver).
  virtual std::optional<WiFiLink> wifi() { return std::nullopt; }
  virtual DNSConfiguration dns() { return {}; }
  // Drops the baselines of the stateful collectors (CPU, memory, disk, network, processes).
  virtual void reset() = 0;
  // The slow readings are due (on their interval, or because the system said something
  // changed): readings kept between ticks are to be read afresh at the next one.
  virtual void slowReadingsDue() {}
};

// The machine itself, read below `root` ("/" except in tests with fixture trees).
std::unique_ptr<TelemetrySources> makeSystemSources(const std::string& root = "/");

}  // namespace kivo
