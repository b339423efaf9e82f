#include "desktop/ProcessActions.h"

#include "collectors/ProcessCollector.h"
#include "collectors/ProcessSample.h"
#include "platform/CPUStatReader.h"
#include "platform/KernelFiles.h"
#include "platform/ProcessReader.h"

#include <QTimeZone>

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <csignal>

namespace kivo {

namespace {
// Called through syscall(2): the C library's own wrappers are not declared for C++ everywhere.
int openPidfd(std::int32_t pid) {
  return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0u));
}
bool sendThroughPidfd(int pidfd, int signal) {
  return ::syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0u) == 0;
}
}  // namespace

ProcessActions::ProcessActions(std::string procRoot) : procRoot_(std::move(procRoot)) {}

std::optional<ProcessActions::Read> ProcessActions::read(std::int32_t pid) const {
  if (pid <= 0) return std::nullopt;
  const KernelFiles files(procRoot_);
  ProcessReader reader(files);
  ProcEntry entry;
  const bool read = reader.open(pid) && reader.readStat(entry);
  reader.close();
  if (!read) return std::nullopt;
  const auto bootTime = CPUStatReader::readBootTime(files);
  if (!bootTime) return std::nullopt;
  return Read{QDateTime::fromMSecsSinceEpoch(
                  ProcessMath::startMillis(*bootTime, entry.startTicks, ProcessMath::ticksPerSecond()),
                  QTimeZone::utc()),
              entry.ended, entry.parentPID};
}

std::optional<QDateTime> ProcessActions::startTime(std::int32_t pid) const {
  const auto found = read(pid);
  if (!found) return std::nullopt;
  return found->start;
}

ProcessFate ProcessActions::fate(std::int32_t pid, const std::optional<QDateTime>& startTime) const {
  const auto found = read(pid);
  if (!found || !startTime || found->start.toMSecsSinceEpoch() != startTime->toMSecsSinceEpoch()) return {};
  if (found->ended) return {ProcessFate::Kind::uncollected, found->parentPID};
  return {ProcessFate::Kind::running, 0};
}

bool ProcessActions::perform(ProcessAction action, const ProcessRecord& record) {
  return perform(action, record.pid, record.startTime);
}

bool ProcessActions::perform(ProcessAction action, std::int32_t pid,
                             const std::optional<QDateTime>& expected) {
  // The kernel, init and the monitor itself are never ended from here.
  if (pid < 2 || pid == ::getpid()) return false;
  if (!expected || !expected->isValid()) return false;

  // Pin the process first: a check made before opening the pidfd could be about another process.
  const int pidfd = openPidfd(pid);
  if (pidfd < 0) return false;
  bool sent = false;
  // Both sides come from the same kernel figures through the same arithmetic, so a process is
  // itself only when the milliseconds match; any difference is a pid given to another process.
  const auto actual = read(pid);
  if (actual && !actual->ended && actual->start.toMSecsSinceEpoch() == expected->toMSecsSinceEpoch()) {
    const int signal = action == ProcessAction::forceQuit ? SIGKILL : SIGTERM;
    sent = sendThroughPidfd(pidfd, signal);
  }
  ::close(pidfd);
  return sent;
}

}  // namespace kivo
