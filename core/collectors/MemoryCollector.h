#pragma once

#include "collectors/MemorySample.h"
#include "platform/MemoryReader.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kivo {

namespace MemoryMath {

struct Partition {
  std::uint64_t used = 0;
  std::uint64_t app = 0;
  std::uint64_t wired = 0;
  std::optional<std::uint64_t> compressed;
  std::uint64_t cached = 0;
  std::uint64_t free = 0;

  bool operator==(const Partition&) const = default;
};

// Splits MemTotal into used (app + wired + compressed), cached and free (MemFree), which add up to
// MemTotal and never to more. `compressed` is what zswap and zram hold, absent when neither exists.
Partition account(const MemInfo& info, std::optional<std::uint64_t> compressed);

// Pressure stall thresholds on avg10, in percent of the last ten seconds.
inline constexpr double kWarningSomeStall = 10.0;   // some task waited on memory this long
inline constexpr double kCriticalFullStall = 10.0;  // every runnable task waited this long
MemoryPressureLevel pressureLevel(const MemoryStall& stall);

}  // namespace MemoryMath

// Reads /proc/meminfo, /proc/vmstat and /proc/pressure/memory each tick. Owned by the engine.
class MemoryCollector {
 public:
  explicit MemoryCollector(const std::string& root = "/");

  // Absent when /proc/meminfo cannot be read or is malformed (the baseline stays).
  std::optional<MemorySample> sample(double now);
  // The next sample has no rates.
  void reset();

 private:
  MemoryReader reader_;
  std::uint64_t pageSize_ = 0;
  std::optional<VMStat> previous_;
  double previousTime_ = 0;
};

}  // namespace kivo
