#include "scheduler/Normalizer.h"

namespace kivo::Normalizer {

std::vector<MetricValue> values(const Readings& readings) {
  std::vector<MetricValue> out;
  values(readings, out);
  return out;
}

void values(const Readings& r, std::vector<MetricValue>& out) {
  out.clear();
  out.reserve(kMetricCount);
  const auto add = [&out](MetricID metric, double value) { out.push_back(MetricValue{metric, value}); };
  const auto bytes = [](std::uint64_t value) { return static_cast<double>(value); };

  if (r.cpu) {
    add(MetricID::cpuTotal, (r.cpu->total.user + r.cpu->total.system) * 100);
    add(MetricID::cpuUser, r.cpu->total.user * 100);
    add(MetricID::cpuSystem, r.cpu->total.system * 100);
    if (!r.cpu->loadAverage.empty()) add(MetricID::loadAverage1, r.cpu->loadAverage.front());
  }
  if (r.memory) {
    const MemorySample& m = *r.memory;
    add(MetricID::memUsed, bytes(m.used));
    add(MetricID::memApp, bytes(m.app));
    add(MetricID::memWired, bytes(m.wired));
    if (m.compressed) add(MetricID::memCompressed, bytes(*m.compressed));
    add(MetricID::memCached, bytes(m.cached));
    add(MetricID::memFree, bytes(m.free));
    if (m.pressure) add(MetricID::memPressure, static_cast<double>(static_cast<int>(*m.pressure)));
    add(MetricID::swapUsed, bytes(m.swapUsed));
    if (m.pageInRate) add(MetricID::pageIns, *m.pageInRate);
    if (m.pageOutRate) add(MetricID::pageOuts, *m.pageOutRate);
  }
  if (r.disk) {
    if (r.disk->readRate) add(MetricID::diskRead, *r.disk->readRate);
    if (r.disk->writeRate) add(MetricID::diskWrite, *r.disk->writeRate);
  }
  if (r.bootVolume) add(MetricID::diskFree, bytes(r.bootVolume->available));
  if (r.network) {
    if (r.network->downRate) add(MetricID::netDown, *r.network->downRate);
    if (r.network->upRate) add(MetricID::netUp, *r.network->upRate);
  }
  if (r.power && r.power->hasBattery) {
    const PowerSample& p = *r.power;
    if (p.charge) add(MetricID::batteryCharge, *p.charge);
    // The current's sign carries through: negative while discharging.
    if (p.voltage && p.amperage) add(MetricID::batteryPower, *p.voltage * *p.amperage);
    if (p.temperature) add(MetricID::batteryTemperature, *p.temperature);
  }
  if (r.thermal) add(MetricID::thermalState, static_cast<double>(static_cast<int>(*r.thermal)));
  std::optional<double> gpu;
  for (const GPUStatistics& statistics : r.gpu) {
    if (statistics.deviceUtilization && (!gpu || *statistics.deviceUtilization > *gpu)) {
      gpu = statistics.deviceUtilization;
    }
  }
  if (gpu) add(MetricID::gpuUtilization, *gpu);
  if (r.processCount) add(MetricID::processCount, static_cast<double>(*r.processCount));
  if (r.selfCPU) add(MetricID::selfCPU, *r.selfCPU);
  if (r.selfMemory) add(MetricID::selfMemory, bytes(*r.selfMemory));
}

const VolumeInfo* bootVolume(std::span<const VolumeInfo> volumes) {
  for (const VolumeInfo& volume : volumes) {
    if (volume.isRoot) return &volume;
  }
  return nullptr;
}

}  // namespace kivo::Normalizer
