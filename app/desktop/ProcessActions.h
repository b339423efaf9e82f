#pragma once

#include <QDateTime>

#include <cstdint>
#include <optional>
#include <string>

namespace kivo {

struct ProcessRecord;

enum class ProcessAction { quit, forceQuit };

// What became of the process a row names.
struct ProcessFate {
  enum class Kind {
    running,
    // Exited, its exit status not yet collected by its parent (a zombie): no signal reaches it.
    uncollected,
    // Gone, or its pid is another process's now.
    gone,
  };
  Kind kind = Kind::gone;
  std::int32_t parentPID = 0;  // of an uncollected process
};

// Ends processes for the processes page. The target is named by its pid and the start time the
// process collector saw, so that a pid the kernel has since given to another process is never
// signalled: the pid is pinned with a pidfd, its start time is checked through /proc, and only
// then is the signal sent through the pidfd.
class ProcessActions {
 public:
  // procRoot: the folder that holds proc/ ("/" except in tests).
  explicit ProcessActions(std::string procRoot = "/");
  virtual ~ProcessActions() = default;

  // quit sends SIGTERM, forceQuit SIGKILL. False when the pid is below 2 or this process, the
  // start time is absent or is not the process's start time to the millisecond, the process has
  // exited (a zombie, which the kernel would let us signal to no effect), or the signal could not
  // be sent. True says only that the signal was delivered.
  virtual bool perform(ProcessAction action, std::int32_t pid, const std::optional<QDateTime>& startTime);
  // The same for a row of the process table: its pid and start time.
  bool perform(ProcessAction action, const ProcessRecord& record);

  // Start time of a running process, read and computed exactly as the process collector does
  // (ProcessReader, the boot time of /proc/stat, ProcessMath::startMillis); absent when the
  // process is gone or its files cannot be read.
  std::optional<QDateTime> startTime(std::int32_t pid) const;
  // The process with that pid and start time now.
  ProcessFate fate(std::int32_t pid, const std::optional<QDateTime>& startTime) const;

 private:
  struct Read {
    QDateTime start;
    bool ended = false;
    std::int32_t parentPID = 0;
  };
  std::optional<Read> read(std::int32_t pid) const;

  std::string procRoot_;
};

}  // namespace kivo
