#include "collectors/LatencyProbe.h"

#include "platform/TcpHandshake.h"

#include <time.h>

#include <algorithm>
#include <cerrno>

namespace kivo {

namespace {
// Sleeps on the boot-time clock, which keeps counting through a suspend.
void pauseFor(std::chrono::milliseconds pause) {
  if (pause.count() <= 0) return;
  timespec target{};
  ::clock_gettime(CLOCK_BOOTTIME, &target);
  const long long nanos = static_cast<long long>(target.tv_nsec) + pause.count() * 1'000'000LL;
  target.tv_sec += static_cast<time_t>(nanos / 1'000'000'000LL);
  target.tv_nsec = static_cast<long>(nanos % 1'000'000'000LL);
  while (::clock_nanosleep(CLOCK_BOOTTIME, TIMER_ABSTIME, &target, nullptr) == EINTR) {
  }
}
}  // namespace

std::uint16_t LatencyProbe::clampPort(int port) {
  return static_cast<std::uint16_t>(std::clamp(port, 0, 65535));
}

LatencyResult LatencyProbe::measure(const QString& host, int port, int attempts, double timeout,
                                    std::chrono::milliseconds pause) {
  LatencyResult result{host, port, {}, std::max(attempts, 0)};
  std::string target = host.trimmed().toStdString();
  if (target.size() > 2 && target.front() == '[' && target.back() == ']')
    target = target.substr(1, target.size() - 2);
  const std::uint16_t tried = clampPort(port);
  for (int i = 0; i < result.attempts; ++i) {
    if (const auto ms = TcpHandshake::connect(target, tried, timeout)) result.samples.push_back(*ms);
    pauseFor(pause);
  }
  return result;
}

}  // namespace kivo
