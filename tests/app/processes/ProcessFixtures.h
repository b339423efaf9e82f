#pragma once

#include "collectors/ProcessSample.h"

#include <QDateTime>
#include <QTimeZone>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace kivo::test {

// A process of user uid with statistics, started `startOffset` seconds after a fixed instant.
inline ProcessRecord process(std::int32_t pid, QString name, std::optional<double> cpu = std::nullopt,
                             std::uint32_t uid = 1000, QString user = QStringLiteral("ada")) {
  ProcessRecord record;
  record.pid = pid;
  record.parentPID = 1;
  record.name = std::move(name);
  record.uid = uid;
  record.user = std::move(user);
  record.startTime = QDateTime::fromSecsSinceEpoch(1'700'000'000 + pid, QTimeZone::utc());
  record.hasStatistics = true;
  record.cpuPercent = cpu;
  record.cpuTime = 61.0 + pid;
  record.memory = std::uint64_t{1} << 20;
  record.threads = 3;
  record.diskRead = 4096;
  record.diskWritten = 0;
  return record;
}

inline ProcessSample sampleOf(std::vector<ProcessRecord> records, int restricted = 0, double interval = 2) {
  ProcessSample sample;
  sample.processes = std::move(records);
  sample.total = static_cast<int>(sample.processes.size());
  sample.restricted = restricted;
  sample.interval = interval;
  return sample;
}

}  // namespace kivo::test
