#pragma once

#include "collectors/ProcessSample.h"
#include "platform/ProcessReader.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kivo {

namespace ProcessMath {
// Clock ticks to nanoseconds, exact for any tick rate that divides 1e9.
std::uint64_t nanos(std::uint64_t ticks, std::uint64_t ticksPerSecond);
// The kernel's clock tick rate (sysconf), 100 when it cannot be read.
std::uint64_t ticksPerSecond();
// When a process started, in milliseconds since 1970: the boot time of /proc/stat plus its start
// ticks, with bootTime as CPUStatReader::readBootTime gives it. The process table and the
// process actions both use this, so they agree to the millisecond.
std::int64_t startMillis(std::int64_t bootTime, std::uint64_t startTicks, std::uint64_t ticksPerSecond);
// Percent of one core: (current - previous) / 1e9 / elapsed × 100; absent when elapsed is not
// positive or the CPU time went down.
std::optional<double> cpuPercent(std::uint64_t previousNanos, std::uint64_t currentNanos, double elapsed);
// The kernel keeps 15 bytes of a process name; a cut name is completed from the executable's
// base name when that starts with it. An empty name takes the base name.
QString displayName(std::string_view comm, const std::optional<QString>& path);
}  // namespace ProcessMath

// The monitor's own consumption.
struct SelfUsage {
  std::uint64_t cpuNanos = 0;   // CLOCK_PROCESS_CPUTIME_ID
  std::uint64_t footprint = 0;  // VmRSS of /proc/self/status, bytes
  std::optional<std::uint64_t> diskWritten;
  std::optional<std::uint64_t> energyNanojoules;  // Linux has no per-process energy
};

// Lists every process with its identity and figures. Owned by the engine; not shared.
class ProcessCollector {
 public:
  // Maps a uid to a user name; the default asks the system's user database.
  using UserLookup = std::function<std::optional<std::string>(std::uint32_t uid)>;

  explicit ProcessCollector(const std::string& root = "/", UserLookup users = {});

  // Always a value: an empty list when /proc cannot be listed.
  ProcessSample sample(double now);
  // Forgets the CPU baselines; names, paths and user names stay cached.
  void reset();

  static std::optional<SelfUsage> selfUsage();

 private:
  // Figures of status and io that are read again only when they may have changed: when the
  // process ran (its CPU time moved), was renamed, or kRefresh seconds have passed.
  static constexpr double kRefresh = 30;
  // Open files left to the rest of the process when stat files are kept open, and the most kept.
  static constexpr std::size_t kReservedFiles = 512;
  static constexpr std::size_t kMaxKeptFiles = 32768;

  struct Known {
    std::uint64_t start = 0;  // start ticks: a pid with another start is another process
    std::string comm;         // raw name the cached text was made from
    QString name;
    std::optional<QString> path;
    std::optional<QDateTime> startTime;
    std::uint64_t cpuNanos = 0;
    std::uint64_t lastScan = 0;  // the scan that last saw the process
    std::uint32_t uid = 0;
    std::optional<std::uint64_t> readBytes;
    std::optional<std::uint64_t> writeBytes;
    bool ioRefused = false;  // another user's process: asked once for its lifetime
    double refreshed = 0;    // monotonic time status and io were last read
    // From the last stat read, shown again while a single-threaded process does not run.
    std::int32_t parentPID = 0;
    int threads = 0;
    std::optional<std::uint64_t> residentBytes;
    bool ended = false;
    std::uint64_t runtime = 0;  // schedstat's run time read just before that stat; 0 when none
  };

  // A single-threaded process whose run time has not moved since the last scan: stat would
  // say what it said then, except resident memory the kernel reclaims (the refresh catches it)
  // and the parent, which changes when the parent ends (checked once the scan is complete).
  bool quiet(const Known& known, std::uint64_t previousScan, double now, std::uint64_t runtime,
             bool runtimeSinceLastScan) const;
  void appendRecord(ProcessSample& sample, std::int32_t pid, Known& known, std::uint64_t cpuNanos,
                    std::uint64_t previousScan, std::uint64_t scan, double elapsed);

  const QString& userName(std::uint32_t uid);
  // Lists /proc into pids_ unless no pid was handed out since the last listing (and that is
  // less than kRefresh seconds old): then no process can have started, and pids_ from the last
  // scan holds every live one.
  void list(double now);

  ProcessReader reader_;
  UserLookup lookup_;
  std::uint64_t ticksPerSecond_ = 100;
  std::optional<std::int64_t> bootTime_;
  std::unordered_map<std::int32_t, Known> known_;
  std::unordered_map<std::uint32_t, QString> users_;
  std::vector<std::int32_t> pids_;    // to read this scan; afterwards, those that gave a record
  std::vector<std::int32_t> listed_;  // the last listing of /proc
  std::vector<std::int32_t> previousListing_;
  std::optional<std::uint64_t> listedLastPID_;  // the last pid handed out, read just before it
  double listedAt_ = 0;
  // False once a listing showed a process for which no pid was handed out: the last pid is then
  // not of the pid namespace this /proc shows, and every scan lists.
  bool lastPIDHolds_ = true;
  std::vector<std::size_t> quietRecords_;  // of the current sample
  ProcEntry entry_;
  std::size_t keepOpen_ = 0;
  std::uint64_t scan_ = 0;
  double previousTime_ = 0;
};

}  // namespace kivo
