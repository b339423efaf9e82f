#include "analysis/ProcessSpikeTracker.h"

#include "storage/StoreTime.h"

#include <algorithm>
#include <cmath>

namespace kivo {

ProcessSpikeTracker::ProcessSpikeTracker(double threshold, double minDuration)
    : threshold_(threshold), minDuration_(minDuration) {}

std::vector<ProcessSpikeTracker::Spike> ProcessSpikeTracker::update(std::span<const ProcessRecord> records,
                                                                    const QDateTime& date) {
  std::vector<Spike> spikes;
  if (!date.isValid()) return spikes;
  const double now = StoreTime::seconds(date);
  const bool canBeHigh = std::isfinite(threshold_);

  seen_.clear();
  for (const ProcessRecord& record : records) {
    if (!canBeHigh || !record.cpuPercent) continue;
    const double share = *record.cpuPercent;
    if (!(share >= threshold_)) continue;  // NaN is never high
    seen_.insert(record.pid);
    const auto it = runs_.find(record.pid);
    if (it != runs_.end() && it->second.name == record.name) {
      it->second.last = now;
      it->second.peak = std::max(it->second.peak, share);
    } else {
      // A reused pid starts over; the other process's run is dropped unreported.
      runs_[record.pid] = Run{record.name, now, now, share};
    }
  }

  const bool canReport = std::isfinite(minDuration_);
  for (auto it = runs_.begin(); it != runs_.end();) {
    if (seen_.contains(it->first)) {
      ++it;
      continue;
    }
    const Run& run = it->second;
    const double duration = run.last - run.start;
    if (canReport && minDuration_ <= duration) {
      spikes.push_back(Spike{run.name, it->first, StoreTime::date(run.start), duration, run.peak});
    }
    it = runs_.erase(it);
  }
  std::sort(spikes.begin(), spikes.end(), [](const Spike& a, const Spike& b) {
    return a.start != b.start ? a.start < b.start : a.pid < b.pid;
  });
  return spikes;
}

}  // namespace kivo
