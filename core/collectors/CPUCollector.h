#pragma once

#include "collectors/CPUSample.h"
#include "platform/CPUStatReader.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kivo {

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
