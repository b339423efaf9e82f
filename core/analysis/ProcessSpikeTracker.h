#pragma once

#include "collectors/ProcessSample.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <span>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace kivo {

// Notices processes that keep a high CPU share for a while and reports each
// episode once, when it is over.
class ProcessSpikeTracker {
 public:
  struct Spike {
    QString name;
    std::int32_t pid = 0;
    QDateTime start;
    double duration = 0;  // seconds from the first to the last high sample
    double peak = 0;      // percent of one core

    bool operator==(const Spike&) const = default;
  };

  // threshold: percent of one core, inclusive; minDuration: seconds, inclusive.
  // A non-finite threshold marks nothing high; a non-finite minimum reports nothing.
  ProcessSpikeTracker(double threshold, double minDuration);

  double threshold() const { return threshold_; }
  double minDuration() const { return minDuration_; }

  // Feeds one process sample taken at date; returns the runs that ended with it
  // and lasted at least minDuration, ordered by start, then pid.
  std::vector<Spike> update(std::span<const ProcessRecord> records, const QDateTime& date);

 private:
  struct Run {
    QString name;
    double start = 0;  // seconds since 1970
    double last = 0;
    double peak = 0;
  };

  double threshold_;
  double minDuration_;
  std::unordered_map<std::int32_t, Run> runs_;
  std::unordered_set<std::int32_t> seen_;  // reused between calls
};

}  // namespace kivo
