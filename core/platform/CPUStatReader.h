#pragma once

#include "platform/KernelFiles.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kivo {

// Cumulative ticks of one logical CPU, as the "cpuN" line of /proc/stat gives them. Guest time
// is already counted inside user and nice, so it is not kept apart.
struct CPUTicks {
  int cpu = 0;  // the N of "cpuN"
  std::uint64_t user = 0;
  std::uint64_t nice = 0;
  std::uint64_t system = 0;
  std::uint64_t idle = 0;
  std::uint64_t iowait = 0;
  std::uint64_t irq = 0;
  std::uint64_t softirq = 0;
  std::uint64_t steal = 0;

  bool operator==(const CPUTicks&) const = default;
};

// Keeps /proc/stat and /proc/loadavg open and re-reads them into reused buffers.
class CPUStatReader {
 public:
  explicit CPUStatReader(const KernelFiles& files);

  // Per-CPU ticks of the online CPUs, in the kernel's order; false when /proc/stat cannot be
  // read or holds no CPU line.
  bool readTicks(std::vector<CPUTicks>& ticks);
  // The 1-, 5- and 15-minute run-queue averages of /proc/loadavg (what getloadavg(3) reads).
  std::optional<std::array<double, 3>> readLoadAverage();

  // Parses the per-CPU lines of a /proc/stat text (the "cpu" total line is skipped).
  static bool parseTicks(std::string_view text, std::vector<CPUTicks>& ticks);
  // "btime" of /proc/stat: boot time in seconds since 1970.
  static std::optional<std::int64_t> parseBootTime(std::string_view text);
  static std::optional<std::int64_t> readBootTime(const KernelFiles& files);

 private:
  KernelFile stat_;
  KernelFile loadavg_;
  std::string buffer_;
};

}  // namespace kivo
