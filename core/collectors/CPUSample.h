#pragma once

#include <QJsonObject>

#include <optional>
#include <vector>

namespace kivo {

// Share of the elapsed ticks in each state, each a fraction from 0 to 1.
struct CPULoad {
  double user = 0;    // user + nice (guest time is already inside user)
  double system = 0;  // system + irq + softirq + steal
  double idle = 0;    // idle + iowait

  double busy() const { return user + system; }
  static constexpr CPULoad zero() { return {}; }

  bool operator==(const CPULoad&) const = default;

  QJsonObject toJson() const;
  static std::optional<CPULoad> fromJson(const QJsonObject& object);
};

struct CPUSample {
  // The whole machine: ticks summed over every core present in both readings.
  CPULoad total;
  // One entry per core present in both readings, in the kernel's order.
  std::vector<CPULoad> cores;
  // The kernel's number of each entry of `cores` (cpuN); numbers skip when a CPU is offline.
  std::vector<int> coreIDs;
  // 1-, 5- and 15-minute run-queue averages; empty when they cannot be read.
  std::vector<double> loadAverage;
  // Monotonic seconds since the previous sample.
  double interval = 0;

  bool operator==(const CPUSample&) const = default;

  QJsonObject toJson() const;
  static std::optional<CPUSample> fromJson(const QJsonObject& object);
};

}  // namespace kivo
