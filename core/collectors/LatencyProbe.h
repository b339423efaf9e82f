#pragma once

#include "collectors/LatencyResult.h"

#include <chrono>
#include <cstdint>

namespace kivo::LatencyProbe {

// The port actually tried: clamped to 0...65535.
std::uint16_t clampPort(int port);

// `attempts` TCP handshakes one after another, each given `timeout` seconds (name resolution
// included), with `pause` after every attempt; a refused or unreachable address fails at once.
// Blocks until done; never fails. A negative attempt count makes no attempt.
LatencyResult measure(const QString& host, int port, int attempts, double timeout,
                      std::chrono::milliseconds pause = std::chrono::milliseconds(150));

}  // namespace kivo::LatencyProbe
