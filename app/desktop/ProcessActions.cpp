#include "desktop/ProcessActions.h"

#include "collectors/ProcessSample.h"
#include "platform/CPUStatReader.h"
#include "platform/KernelFiles.h"

#include <csignal>
#include <cmath>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace kivo {

namespace {
// Called through syscall(2): the C library's own wrappers are not declared for C++ everywhere.
int openPidfd(std::int32_t pid) { return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0u)); }
bool sendThroughPidfd(int pidfd, int signal) { return ::syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0u) == 0; }
}  // namespace

ProcessActions::ProcessActions(std::string procRoot) : procRoot_(std::move(procRoot)) {}

std::optional<std::uint64_t> ProcessActions::startTicks(std::string_view statText) {
  // The name sits between the first "(" and the last ")"; fields after it are blank-separated.
  const auto close = statText.rfind(')');
  if (close == std::string_view::npos) return std::nullopt;
  std::string_view rest = statText.substr(close + 1);
  std::string_view token;
  // Field 3 (state) is the first after the name; start time is field 22.
  for (int field = 3; field <= 22; ++field) {
    if (!KernelText::nextToken(rest, token)) return std::nullopt;
  }
  return KernelText::parseUInt(token);
}

std::optional<double> ProcessActions::startTime(std::int32_t pid) const {
  if (pid <= 0) return std::nullopt;
  const KernelFiles files(procRoot_);
  std::string buffer;
  if (!files.read("/proc/" + std::to_string(pid) + "/stat", buffer)) return std::nullopt;
  const auto ticks = startTicks(buffer);
  if (!ticks) return std::nullopt;
  // The boot time as the process collector reads it, so that both give the same start time.
  const auto bootTime = CPUStatReader::readBootTime(files);
  const long hertz = ::sysconf(_SC_CLK_TCK);
  if (!bootTime || hertz <= 0) return std::nullopt;
  return static_cast<double>(*bootTime) + static_cast<double>(*ticks) / static_cast<double>(hertz);
}

bool ProcessActions::perform(ProcessAction action, const ProcessRecord& record) {
  std::optional<double> started;
  if (record.startTime && record.startTime->isValid())
    started = static_cast<double>(record.startTime->toMSecsSinceEpoch()) / 1000.0;
  return perform(action, record.pid, started);
}

bool ProcessActions::perform(ProcessAction action, std::int32_t pid, std::optional<double> expected) {
  // The kernel, init and the monitor itself are never ended from here.
  if (pid < 2 || pid == ::getpid()) return false;
  if (!expected || !std::isfinite(*expected)) return false;

  // Pin the process first: a check made before opening the pidfd could be about another process.
  const int pidfd = openPidfd(pid);
  if (pidfd < 0) return false;
  bool sent = false;
  const auto actual = startTime(pid);
  if (actual && std::fabs(*actual - *expected) <= kStartTimeTolerance) {
    const int signal = action == ProcessAction::forceQuit ? SIGKILL : SIGTERM;
    sent = sendThroughPidfd(pidfd, signal);
  }
  ::close(pidfd);
  return sent;
}

}  // namespace kivo
