#pragma once

#include "collectors/CPUSample.h"
#include "platform/CPUStatReader.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kivo {

namespace CPUMath {
// Load of one CPU between two readings. Each field's difference saturates at 0: the kernel's
// per-CPU idle and iowait can step backwards, and these 64-bit counters never wrap.
CPULoad coreLoad(const CPUTicks& previous, const CPUTicks& current);
// The whole machine: ticks summed over the CPUs present in both readings (matched by number,
// since CPUs can go offline), so every CPU weighs by its ticks. Zero when none match.
CPULoad aggregate(std::span<const CPUTicks> previous, std::span<const CPUTicks> current);
}  // namespace CPUMath

// Turns /proc/stat's cumulative ticks into load between two calls. Owned by the engine; not shared.
class CPUCollector {
 public:
  explicit CPUCollector(const std::string& root = "/");

  // Absent on the first call after construction or reset (it takes the baseline), when no CPU
  // is common to both readings, and when /proc/stat cannot be read (the baseline stays).
  std::optional<CPUSample> sample(double now);
  void reset();

 private:
  CPUStatReader reader_;
  std::vector<CPUTicks> previous_;
  std::vector<CPUTicks> current_;
  double previousTime_ = 0;
};

}  // namespace kivo
