#pragma once

#include "ModelTestSupport.h"

#include <cmath>

namespace kivo::test {

inline SystemInfo hybridSystem() {
  SystemInfo system;
  system.chip = QStringLiteral("12th Gen Intel(R) Core(TM) i7-1260P");
  system.topology.brand = system.chip;
  system.topology.physicalCores = 12;
  system.topology.logicalCores = 16;
  system.topology.groups = {{QStringLiteral("Performance"), 4, 8}, {QStringLiteral("Efficiency"), 8, 8}};
  return system;
}

inline SystemInfo plainSystem() {
  SystemInfo system;
  system.chip = QStringLiteral("AMD Ryzen 7 5800X 8-Core Processor");
  system.topology.brand = system.chip;
  system.topology.physicalCores = 8;
  system.topology.logicalCores = 16;
  return system;
}

// One tick of a machine with `cores` cores whose load moves with i.
inline TelemetrySnapshot cpuTick(int i, int cores, std::optional<ProcessSample> processes = std::nullopt) {
  CPUSample cpu;
  double user = 0;
  double system = 0;
  for (int c = 0; c < cores; ++c) {
    const double busy = std::clamp(0.5 + 0.45 * std::sin(i / 6.0 + c * 0.7), 0.0, 1.0);
    cpu.cores.push_back({busy * 0.8, busy * 0.2, 1 - busy});
    cpu.coreIDs.push_back(c);
    user += busy * 0.8 / cores;
    system += busy * 0.2 / cores;
  }
  cpu.total = {user, system, 1 - user - system};
  cpu.loadAverage = {1.234, 0.5, 2};
  cpu.interval = 2.0037;
  TelemetrySnapshot snapshot = snapshotAt(2.0 * i, {{MetricID::cpuTotal, (user + system) * 100},
                                                    {MetricID::cpuUser, user * 100},
                                                    {MetricID::cpuSystem, system * 100},
                                                    {MetricID::loadAverage1, 1.234}});
  snapshot.cpu = cpu;
  snapshot.interval = 2;
  snapshot.sequence = i + 1;
  snapshot.processes = std::move(processes);
  return snapshot;
}

inline ProcessSample processSample(
    std::initializer_list<std::tuple<int, const char*, std::optional<double>, std::optional<std::uint64_t>>>
        rows) {
  ProcessSample sample;
  for (const auto& [pid, name, cpu, memory] : rows) {
    ProcessRecord record;
    record.pid = pid;
    record.name = QString::fromUtf8(name);
    record.hasStatistics = true;
    record.cpuPercent = cpu;
    record.memory = memory;
    sample.processes.push_back(record);
  }
  sample.total = static_cast<int>(sample.processes.size());
  return sample;
}

inline ProcessSample busyProcesses() {
  return processSample(
      {{1, "systemd", 0.1, 12u << 20},
       {812, "Xorg", 6.4, 180u << 20},
       {1204, "firefox-esr", 48.2, 1900u << 20},
       {1377, "<b>Web Content</b>", 22.7, 640u << 20},
       {2001, "a-process-with-an-unusually-long-name-that-needs-cutting-in-the-middle", 3.3, 90u << 20},
       {2050, "kivo-monitor", 1.2, 75u << 20},
       {2101, "cc1plus", 99.5, 420u << 20},
       {2300, "kworker/3:1", 0.4, std::nullopt},
       {2400, "bash", std::nullopt, 5u << 20}});
}

}  // namespace kivo::test
