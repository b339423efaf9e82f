#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace kivo {

struct ProcessRecord {
  std::int32_t pid = 0;
  std::int32_t parentPID = 0;
  QString name;
  std::uint32_t uid = 0;  // effective user id
  QString user;           // user name, or the uid in decimal
  std::optional<QDateTime> startTime;
  std::optional<QString> path;  // executable; absent when the kernel refuses it
  // True when the CPU and memory figures were read (always the case for a listed process on Linux).
  bool hasStatistics = false;
  // Percent of one core since the previous sample; absent on a process's first sample.
  std::optional<double> cpuPercent;
  double cpuTime = 0;  // user + system seconds since the process started
  // Resident memory; absent for kernel threads and zombies, which have none.
  std::optional<std::uint64_t> memory;
  int threads = 0;
  // Bytes read from and written to storage since start; absent when the kernel refuses
  // them (another user's process).
  std::optional<std::uint64_t> diskRead;
  std::optional<std::uint64_t> diskWritten;
  // Watts; Linux has no per-process energy, so this stays absent.
  std::optional<double> power;
  // Exited, with its exit status not yet collected by its parent (a zombie): it holds a pid and
  // nothing else, and no signal reaches it.
  bool ended = false;

  bool operator==(const ProcessRecord&) const = default;

  // Absent optionals are left out.
  QJsonObject toJson() const;
  static std::optional<ProcessRecord> fromJson(const QJsonObject& object);
};

struct ProcessSample {
  std::vector<ProcessRecord> processes;  // in /proc's order
  int total = 0;                         // processes.size()
  // Processes with a figure the kernel refused (their disk I/O, for other users' processes).
  int restricted = 0;
  double interval = 0;  // monotonic seconds since the previous scan; 0 on the first

  bool operator==(const ProcessSample&) const = default;

  QJsonObject toJson() const;
  static std::optional<ProcessSample> fromJson(const QJsonObject& object);
};

}  // namespace kivo
