#include "features/processes/ProcessHistory.h"

#include "collectors/ProcessSample.h"

namespace kivo {

ProcessHistory::ProcessHistory() {
  // One more than kept: a point is appended before the oldest goes.
  for (auto* points : {&cpu_, &memory_}) points->reserve(kCapacity + 1);
  for (auto* values : {&cpuValues_, &memoryValues_}) values->reserve(kCapacity + 1);
}

void ProcessHistory::reset(std::optional<std::int32_t> pid) {
  pid_ = pid;
  cpu_.clear();
  memory_.clear();
  cpuValues_.clear();
  memoryValues_.clear();
}

void ProcessHistory::append(std::vector<LivePoint>& points, std::vector<double>& values,
                            const QDateTime& date, double value) {
  points.push_back(LivePoint{date, value});
  values.push_back(value);
  if (points.size() > static_cast<std::size_t>(kCapacity)) {
    points.erase(points.begin());
    values.erase(values.begin());
  }
}

void ProcessHistory::record(std::optional<std::int32_t> selection, const ProcessRecord* record,
                            const std::optional<QDateTime>& date) {
  if (!selection || !pid_ || *selection != *pid_) return;
  if (!record || record->pid != *selection || !record->hasStatistics || !date) return;
  if (record->cpuPercent) append(cpu_, cpuValues_, *date, *record->cpuPercent);
  if (record->memory) append(memory_, memoryValues_, *date, static_cast<double>(*record->memory));
}

}  // namespace kivo
