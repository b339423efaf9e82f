#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kivo {

struct ProcessRecord;

enum class ProcessAction { quit, forceQuit };

// Ends processes for the processes page. The target is named by its pid and the start time the
// process collector saw, so that a pid the kernel has since given to another process is never
// signalled: the pid is pinned with a pidfd, its start time is checked through /proc, and only
// then is the signal sent through the pidfd.
class ProcessActions {
 public:
  // procRoot: the folder that holds proc/ ("/" except in tests).
  explicit ProcessActions(std::string procRoot = "/");
  virtual ~ProcessActions() = default;

  // quit sends SIGTERM, forceQuit SIGKILL. startTime is seconds since 1970, computed as the
  // process collector does (boot time + the start ticks of /proc/<pid>/stat). False when the
  // pid is below 2 or this process, the start time is absent or differs, or the signal could
  // not be sent. True says only that the signal was delivered.
  virtual bool perform(ProcessAction action, std::int32_t pid, std::optional<double> startTime);
  // The same for a row of the process table: its pid and start time.
  bool perform(ProcessAction action, const ProcessRecord& record);

  // Start time of a running process in seconds since 1970, or absent.
  std::optional<double> startTime(std::int32_t pid) const;

  // Start ticks (field 22) of a /proc/<pid>/stat text; the name may hold any character.
  static std::optional<std::uint64_t> startTicks(std::string_view statText);

  // Largest difference between two start times of the same process: both readers round the
  // same kernel figures, so this only absorbs rounding of the recorded date.
  static constexpr double kStartTimeTolerance = 0.5;

 private:
  std::string procRoot_;
};

}  // namespace kivo
