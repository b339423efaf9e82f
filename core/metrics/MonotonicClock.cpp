#include "metrics/MonotonicClock.h"

#include <ctime>

namespace kivo::MonotonicClock {

double now() {
  timespec ts{};
  if (clock_gettime(CLOCK_BOOTTIME, &ts) != 0) clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

}  // namespace kivo::MonotonicClock
