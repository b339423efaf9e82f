#pragma once

#include "scheduler/TelemetrySources.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace kivo::test {

// Scripted readings; logs every call so tests can check what a tick read and in which order.
class FakeSources final : public TelemetrySources {
 public:
  struct Script {
    std::optional<CPUSample> cpu;
    std::optional<MemorySample> memory;
    std::vector<VolumeInfo> volumes;
    std::optional<DiskActivitySample> disk;
    std::optional<NetworkSample> network;
    std::optional<ProcessSample> processes;
    std::optional<SelfUsage> self;
    PowerSample power;
    std::vector<GPUStatistics> gpu;
    std::optional<ThermalLevel> thermal = ThermalLevel::nominal;
  };

  explicit FakeSources(std::shared_ptr<Script> script) : script_(std::move(script)) {}

  std::optional<CPUSample> cpu(double) override { return log("cpu"), script_->cpu; }
  std::optional<MemorySample> memory(double) override { return log("memory"), script_->memory; }
  std::vector<VolumeInfo> volumes() override { return log("volumes"), script_->volumes; }
  std::optional<DiskActivitySample> diskActivity(double) override { return log("disk"), script_->disk; }
  std::optional<NetworkSample> network(double) override { return log("network"), script_->network; }
  std::optional<ProcessSample> processes(double) override { return log("processes"), script_->processes; }
  std::optional<SelfUsage> selfUsage() override { return log("self"), script_->self; }
  PowerSample power(bool) override { return log("power"), script_->power; }
  std::vector<GPUStatistics> gpu() override { return log("gpu"), script_->gpu; }
  std::optional<ThermalLevel> thermal() override { return log("thermal"), script_->thermal; }
  void reset() override { log("reset"); }
  void slowReadingsDue() override { log("slowDue"); }

  std::vector<std::string> takeLog() {
    std::lock_guard lock(mutex_);
    return std::exchange(calls_, {});
  }
  int count(const std::string& call) {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count(calls_.begin(), calls_.end(), call));
  }

 private:
  void log(const char* call) {
    std::lock_guard lock(mutex_);
    calls_.emplace_back(call);
  }
  std::shared_ptr<Script> script_;
  std::mutex mutex_;
  std::vector<std::string> calls_;
};

}  // namespace kivo::test
