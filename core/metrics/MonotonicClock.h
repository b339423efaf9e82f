#pragma once

namespace kivo::MonotonicClock {

// Seconds on CLOCK_BOOTTIME: monotonic, and a suspend counts as elapsed time, so
// the engine sees a sleep as a gap. The origin is arbitrary; only differences mean anything.
double now();

}  // namespace kivo::MonotonicClock
