#pragma once

#include "model/LivePoint.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace kivo {

struct ProcessRecord;

// The inspector's CPU and memory points of the selected process, kept by the page itself and
// independent of the model's live series: the newest kCapacity of each, per selected pid.
class ProcessHistory {
 public:
  static constexpr int kCapacity = 120;

  ProcessHistory();

  // A new selection (a pid or none): both lists start empty.
  void reset(std::optional<std::int32_t> pid);
  // One point of each figure of the selected process from a new process sample, dated by the
  // snapshot. Nothing when the record is not the pid being kept, has no statistics or there is
  // no date; no CPU point without a CPU figure, no memory point without a memory figure.
  void record(std::optional<std::int32_t> selection, const ProcessRecord* record,
              const std::optional<QDateTime>& date);

  std::optional<std::int32_t> pid() const { return pid_; }
  const std::vector<LivePoint>& cpu() const { return cpu_; }
  const std::vector<LivePoint>& memory() const { return memory_; }
  // The values alone, oldest first, for the sparklines.
  const std::vector<double>& cpuValues() const { return cpuValues_; }
  const std::vector<double>& memoryValues() const { return memoryValues_; }

 private:
  static void append(std::vector<LivePoint>& points, std::vector<double>& values, const QDateTime& date,
                     double value);

  std::optional<std::int32_t> pid_;
  std::vector<LivePoint> cpu_;
  std::vector<LivePoint> memory_;
  std::vector<double> cpuValues_;
  std::vector<double> memoryValues_;
};

}  // namespace kivo
