#include "scheduler/TelemetrySources.h"

#include "collectors/CPUCollector.h"
#include "collectors/DiskCollector.h"
#include "collectors/GPUCollector.h"
#include "collectors/MemoryCollector.h"
#include "collectors/NetworkCollector.h"
#include "collectors/PowerCollector.h"
#include "collectors/ProcessCollector.h"
#include "collectors/ThermalReader.h"
#include "platform/PowerProfiles.h"

namespace kivo {

namespace {

class SystemSources final : public TelemetrySources {
 public:
  explicit SystemSources(const std::string& root)
      : cpu_(root),
        memory_(root),
        disk_(diskOptions(root)),
        network_(networkOptions(root)),
        processes_(root),
        gpu_(root),
        thermal_(root),
        files_(root),
        root_(root),
        // Low Power Mode comes from the session's profile daemon only on the real machine.
        profiles_(root == "/" ? DBusPowerProfiles::system() : nullptr) {}

  std::optional<CPUSample> cpu(double now) override { return cpu_.sample(now); }
  std::optional<MemorySample> memory(double now) override { return memory_.sample(now); }
  std::vector<VolumeInfo> volumes() override { return disk_.volumes(); }
  std::optional<DiskActivitySample> diskActivity(double now) override { return disk_.activity(now); }
  std::optional<NetworkSample> network(double now) override { return network_.sample(now); }
  std::optional<ProcessSample> processes(double now) override { return processes_.sample(now); }
  std::optional<SelfUsage> selfUsage() override { return ProcessCollector::selfUsage(); }
  PowerSample power(bool includeBestEffort) override {
    return PowerCollector::sample(includeBestEffort, files_, profiles_.get());
  }
  std::vector<GPUStatistics> gpu() override { return gpu_.statistics(); }
  std::optional<ThermalLevel> thermal() override { return thermal_.read(); }
  std::optional<WiFiLink> wifi() override { return NetworkCollector::wifi(root_); }
  DNSConfiguration dns() override { return NetworkCollector::dns(root_); }
  void slowReadingsDue() override { network_.invalidateAddresses(); }
  void reset() override {
    cpu_.reset();
    memory_.reset();
    disk_.reset();
    network_.reset();
    processes_.reset();
  }

 private:
  static DiskCollector::Options diskOptions(const std::string& root) {
    DiskCollector::Options options;
    options.root = root;
    return options;
  }

  static NetworkCollector::Options networkOptions(const std::string& root) {
    NetworkCollector::Options options;
    options.root = root;
    return options;
  }

  CPUCollector cpu_;
  MemoryCollector memory_;
  DiskCollector disk_;
  NetworkCollector network_;
  ProcessCollector processes_;
  GPUCollector gpu_;
  ThermalReader thermal_;
  KernelFiles files_;
  std::string root_;
  std::shared_ptr<PowerProfileSource> profiles_;
};

}  // namespace

std::unique_ptr<TelemetrySources> makeSystemSources(const std::string& root) {
  return std::make_unique<SystemSources>(root);
}

}  // namespace kivo
