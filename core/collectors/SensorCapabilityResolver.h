#pragma once

#include "collectors/CPUTopology.h"
#include "collectors/GPUDevice.h"
#include "collectors/GPUStatistics.h"
#include "collectors/PowerSample.h"
#include "collectors/SensorCapability.h"
#include "collectors/ThermalLevel.h"
#include "collectors/WiFiLink.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kivo {

// The readers the capability table asks once. Tests give canned answers.
struct CapabilityProbes {
  std::function<PowerSample()> power;  // with best-effort figures
  std::function<std::vector<GPUStatistics>()> gpuStatistics;
  std::function<CPUTopology()> topology;
  std::function<std::size_t()> diskCount;  // whole disks whose counters could be read
  std::function<std::optional<ThermalLevel>()> thermal;
  std::function<bool()> memoryPressure;  // pressure stall information is readable
  std::function<std::optional<WiFiLink>()> wifi;
  std::function<std::vector<GPUDevice>()> gpuDevices;
  std::function<bool()> cpuFrequency;  // a cpufreq policy under /sys/devices/system/cpu/cpufreq

  // The real readers below root ("/" for the running system).
  static CapabilityProbes system(const std::string& root = "/");
};

// What this computer lets an unprivileged KIVO Monitor read, figure by figure: 30 fixed
// rows whose "present" flag comes from probing the readers once.
namespace SensorCapabilityResolver {

// The probes always read the best-effort sources, whatever the user's setting: the
// table says what the computer publishes, not what is switched on.
std::vector<SensorCapability> resolve();
std::vector<SensorCapability> resolve(const CapabilityProbes& probes);

}  // namespace SensorCapabilityResolver

}  // namespace kivo
