#include "design/ProcessRanking.h"

#include <algorithm>
#include <cmath>

namespace kivo::ProcessRanking {

namespace {

double figure(const ProcessRecord& record, bool byMemory) {
  if (byMemory) return record.memory ? static_cast<double>(*record.memory) : 0.0;
  return record.cpuPercent.value_or(0.0);
}

bool qualifies(const ProcessRecord& record, bool byMemory) {
  if (!record.hasStatistics) return false;
  if (byMemory) return record.memory.has_value();
  return record.cpuPercent.has_value() && std::isfinite(*record.cpuPercent);
}

}  // namespace

std::vector<const ProcessRecord*> top(const ProcessSample* sample, bool byMemory, std::size_t limit) {
  std::vector<const ProcessRecord*> rows;
  if (!sample) return rows;
  rows.reserve(sample->processes.size());
  for (const ProcessRecord& record : sample->processes) {
    if (qualifies(record, byMemory)) rows.push_back(&record);
  }
  const auto before = [byMemory](const ProcessRecord* a, const ProcessRecord* b) {
    const double fa = figure(*a, byMemory);
    const double fb = figure(*b, byMemory);
    if (fa != fb) return fa > fb;
    return a->pid < b->pid;
  };
  const std::size_t kept = std::min(limit, rows.size());
  std::partial_sort(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(kept), rows.end(), before);
  rows.resize(kept);
  return rows;
}

double scale(const std::vector<const ProcessRecord*>& rows, bool byMemory) {
  if (rows.empty()) return 1;
  const double first = figure(*rows.front(), byMemory);
  if (!byMemory) return std::max(first, 1.0);
  return first > 0 ? first : 1.0;
}

double fraction(const ProcessRecord& record, double scale, bool byMemory) {
  if (!(scale > 0) || !std::isfinite(scale)) return 0;
  const double value = figure(record, byMemory) / scale;
  return std::isfinite(value) ? std::clamp(value, 0.0, 1.0) : 0.0;
}

}  // namespace kivo::ProcessRanking
