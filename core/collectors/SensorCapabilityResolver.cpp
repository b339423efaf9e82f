#include "collectors/SensorCapabilityResolver.h"

#include "collectors/DiskCollector.h"
#include "collectors/GPUCollector.h"
#include "collectors/NetworkCollector.h"
#include "collectors/PowerCollector.h"
#include "collectors/ThermalReader.h"
#include "platform/KernelFiles.h"
#include "platform/PowerProfiles.h"

#include <filesystem>

namespace kivo {

namespace {

// Which probe decides a row; fixed rows carry their constant answer.
enum class Probe {
  yes,
  no,
  coreGroups,
  thermalState,
  batteryTemperature,
  memoryPressure,
  diskIO,
  wifi,
  gpuDevices,
  gpuUtilization,
  battery,
  timeRemaining,
  cycles,
  flow,
  systemDraw,
  lowPower,
  cpuFrequency,
};

struct Row {
  const char* id;
  const char* name;
  const char* category;
  CapabilityClass classification;
  Probe probe;
  const char* source;
  const char* note;
  // Said instead of note when the probe finds the source missing on this computer.
  const char* absentNote = nullptr;
};

using C = CapabilityClass;
constexpr const char* kNone = "—";

// The texts say what this build reads on Linux, what it leaves out and why.
constexpr Row kRows[] = {
    {"cpu.load", "CPU load, total and per core", "CPU", C::publicAPI, Probe::yes, "/proc/stat", ""},
    {"cpu.groups", "Core groups (count per performance level)", "CPU", C::publicAPI, Probe::coreGroups,
     "/sys/devices/cpu_core, /sys/devices/cpu_atom",
     "Only processors with two kinds of cores have groups; the kernel lists the logical CPUs of each kind."},
    {"cpu.frequency", "CPU frequency", "CPU", C::unavailable, Probe::cpuFrequency, kNone,
     "The kernel publishes it under /sys/devices/system/cpu/cpufreq; KIVO Monitor does not collect it.",
     "The kernel publishes no CPU frequency on this computer (no cpufreq policy under "
     "/sys/devices/system/cpu/cpufreq)."},
    {"cpu.temperature", "CPU temperature", "Thermal", C::unavailable, Probe::no, kNone,
     "Only hardware-monitoring drivers (/sys/class/hwmon) publish it, under names that differ from board to "
     "board; KIVO Monitor does not collect it."},
    {"thermal.state", "Thermal state", "Thermal", C::estimated, Probe::thermalState, "/sys/class/thermal",
     "Linux publishes no overall thermal state. It is estimated from each thermal zone's temperature against "
     "its "
     "passive, hot and critical trip points, and is unavailable without such zones."},
    {"thermal.fans", "Fan speed", "Thermal", C::unavailable, Probe::no, kNone,
     "Only some hardware-monitoring drivers (/sys/class/hwmon) publish it; KIVO Monitor does not collect "
     "it."},
    {"battery.temperature", "Battery temperature", "Thermal", C::bestEffort, Probe::batteryTemperature,
     "/sys/class/power_supply (temp)", ""},
    {"memory.accounting", "Memory accounting and paging", "Memory", C::publicAPI, Probe::yes,
     "/proc/meminfo, /proc/vmstat", ""},
    {"memory.pressure", "Memory pressure level", "Memory", C::estimated, Probe::memoryPressure,
     "/proc/pressure/memory",
     "Estimated from the kernel's pressure stall information; kernels built without it give no level."},
    {"memory.swap", "Swap usage", "Memory", C::publicAPI, Probe::yes, "/proc/meminfo", ""},
    {"disk.capacity", "Volume capacity", "Disk", C::publicAPI, Probe::yes, "/proc/self/mountinfo, statvfs",
     ""},
    {"disk.io", "Disk throughput", "Disk", C::publicAPI, Probe::diskIO, "/proc/diskstats, /sys/block", ""},
    {"disk.health", "SSD health and wear", "Disk", C::unavailable, Probe::no, kNone,
     "NVMe and SATA health data (SMART) can be read only with root privileges."},
    {"network.throughput", "Interface throughput", "Network", C::publicAPI, Probe::yes, "/proc/net/dev", ""},
    {"network.perprocess", "Per-process network traffic", "Network", C::unavailable, Probe::no, kNone,
     "Linux keeps no per-process traffic counters; they would need packet tracing with root privileges."},
    {"network.ssid", "Wi-Fi network name", "Network", C::unavailable, Probe::no, kNone,
     "Never read by KIVO Monitor."},
    {"network.wifi", "Wi-Fi signal and rate", "Network", C::publicAPI, Probe::wifi,
     "nl80211, else /proc/net/wireless", ""},
    {"process.identity", "Process identity (all processes)", "Processes", C::publicAPI, Probe::yes,
     "/proc/<pid>/stat, /proc/<pid>/status", ""},
    {"process.stats", "CPU and memory of every process, disk I/O of your own", "Processes", C::publicAPI,
     Probe::yes, "/proc/<pid>/stat, /proc/<pid>/status, /proc/<pid>/io",
     "Linux gives no per-process energy figure."},
    {"process.stats.other", "Disk I/O of other users' processes", "Processes", C::privilegedHelper, Probe::no,
     kNone,
     "The kernel shows a process's I/O counters only to its owner and to root. A root helper would be "
     "needed; "
     "KIVO Monitor installs none, and shows no figure instead of zero."},
    {"gpu.devices", "GPU devices and their drivers", "GPU", C::publicAPI, Probe::gpuDevices, "/sys/class/drm",
     ""},
    {"gpu.utilization", "GPU utilization", "GPU", C::bestEffort, Probe::gpuUtilization,
     "/sys/class/drm (amdgpu), NVIDIA management library",
     "Published by the amdgpu driver and by NVIDIA's driver library; other drivers give no figure."},
    {"gpu.perprocess", "Per-process GPU usage", "GPU", C::unavailable, Probe::no, kNone, ""},
    {"gpu.temperature", "GPU temperature", "Thermal", C::unavailable, Probe::no, kNone, ""},
    {"power.battery", "Battery charge and state", "Power", C::publicAPI, Probe::battery,
     "/sys/class/power_supply", ""},
    {"power.timeremaining", "Time remaining", "Power", C::estimated, Probe::timeRemaining,
     "/sys/class/power_supply",
     "The battery driver's own estimate, else the remaining energy over the present rate."},
    {"power.cycles", "Cycle count and capacity", "Power", C::bestEffort, Probe::cycles,
     "/sys/class/power_supply (cycle_count, charge_full, energy_full)", ""},
    {"power.flow", "Battery power flow", "Power", C::bestEffort, Probe::flow,
     "/sys/class/power_supply (voltage_now, current_now, power_now)", ""},
    {"power.system", "Whole-system power draw", "Power", C::bestEffort, Probe::systemDraw,
     "/sys/class/power_supply (while on battery)",
     "Known only while the computer runs on its battery, whose discharge is then the whole draw. The "
     "processor's RAPL energy counters (/sys/class/powercap) are readable only by root and are not used."},
    {"power.lowpower", "Low Power Mode", "Power", C::publicAPI, Probe::lowPower,
     "power-profiles-daemon, /sys/firmware/acpi/platform_profile",
     "On when the power profile is \"power-saver\" (or the firmware profile \"low-power\").",
     "This computer has neither power-profiles-daemon nor a firmware power profile "
     "(/sys/firmware/acpi/platform_profile)."},
};

static_assert(std::size(kRows) == 30);

QString text(const char* value) {
  return QString::fromUtf8(value);
}

}  // namespace

CapabilityProbes CapabilityProbes::system(const std::string& root) {
  CapabilityProbes p;
  // The profile daemon is asked only on the running system; a fixture tree has its firmware file.
  p.power = [root] {
    const auto profiles = root == "/" ? DBusPowerProfiles::system() : nullptr;
    return PowerCollector::sample(true, KernelFiles(root), profiles.get());
  };
  // The folder exists even where no driver scales the frequency; only a policy publishes one.
  p.cpuFrequency = [root] {
    std::error_code error;
    for (std::filesystem::directory_iterator it(root + "/sys/devices/system/cpu/cpufreq", error), end;
         !error && it != end; it.increment(error)) {
      if (it->path().filename().string().starts_with("policy") && it->is_directory(error)) return true;
    }
    return false;
  };
  p.gpuStatistics = [root] { return GPUCollector(root).statistics(); };
  p.topology = [root] { return CPUTopology::current(root); };
  p.diskCount = [root] { return DiskCollector::readDisks(root).size(); };
  p.thermal = [root] { return ThermalReader::current(root); };
  p.memoryPressure = [root] {
    std::string buffer;
    return KernelFiles(root).read("/proc/pressure/memory", buffer) && !buffer.empty();
  };
  p.wifi = [root] { return NetworkCollector::wifi(root); };
  p.gpuDevices = [root] { return GPUCollector(root).devices(); };
  return p;
}

namespace SensorCapabilityResolver {

std::vector<SensorCapability> resolve() {
  return resolve(CapabilityProbes::system());
}

std::vector<SensorCapability> resolve(const CapabilityProbes& probes) {
  // A missing probe reads nothing, so its rows are simply not present.
  const PowerSample power = probes.power ? probes.power() : PowerSample();
  const auto statistics = probes.gpuStatistics ? probes.gpuStatistics() : std::vector<GPUStatistics>();
  const auto topology = probes.topology ? probes.topology() : CPUTopology();
  const std::size_t disks = probes.diskCount ? probes.diskCount() : 0;
  const auto thermal = probes.thermal ? probes.thermal() : std::nullopt;
  const bool pressure = probes.memoryPressure && probes.memoryPressure();
  const bool cpuFrequency = probes.cpuFrequency && probes.cpuFrequency();

  bool gpuUtilization = false;
  for (const auto& s : statistics) gpuUtilization = gpuUtilization || s.deviceUtilization.has_value();

  std::vector<SensorCapability> rows;
  rows.reserve(std::size(kRows));
  for (const Row& row : kRows) {
    bool present = false;
    std::optional<bool> sourceMissing;
    switch (row.probe) {
      case Probe::yes:
        present = true;
        break;
      case Probe::no:
        present = false;
        break;
      case Probe::coreGroups:
        present = !topology.groups.empty();
        break;
      case Probe::thermalState:
        present = thermal.has_value();
        break;
      case Probe::batteryTemperature:
        present = power.temperature.has_value();
        break;
      case Probe::memoryPressure:
        present = pressure;
        break;
      case Probe::diskIO:
        present = disks > 0;
        break;
      // Read while the rows are built, as the table is laid out.
      case Probe::wifi:
        present = probes.wifi && probes.wifi().has_value();
        break;
      case Probe::gpuDevices:
        present = probes.gpuDevices && !probes.gpuDevices().empty();
        break;
      case Probe::gpuUtilization:
        present = gpuUtilization;
        break;
      case Probe::battery:
        present = power.hasBattery;
        break;
      case Probe::timeRemaining:
        present = power.minutesToEmpty || power.minutesToFull;
        break;
      case Probe::cycles:
        present = power.cycleCount.has_value();
        break;
      case Probe::flow:
        present = power.voltage && power.amperage;
        break;
      case Probe::systemDraw:
        present = power.systemWatts.has_value();
        break;
      case Probe::lowPower:
        present = power.lowPowerMode.has_value();
        break;
      // Never collected; the note still says whether the kernel publishes it here.
      case Probe::cpuFrequency:
        sourceMissing = !cpuFrequency;
        break;
    }
    const char* note = row.absentNote && sourceMissing.value_or(!present) ? row.absentNote : row.note;
    rows.push_back(SensorCapability{text(row.id), text(row.name), text(row.category), row.classification,
                                    present, text(row.source), text(note)});
  }
  return rows;
}

}  // namespace SensorCapabilityResolver

}  // namespace kivo
