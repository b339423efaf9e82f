#include "metrics/CounterMath.h"

namespace kivo::CounterMath {

std::optional<std::uint64_t> delta(std::uint64_t previous, std::uint64_t current, int bits) {
  if (bits < 0) return std::nullopt;
  if (current >= previous) return current - previous;
  if (bits >= 64) return std::nullopt;
  const std::uint64_t range = std::uint64_t{1} << bits;
  if (previous >= range) return std::nullopt;
  if (previous < range / 2) return std::nullopt;
  return current + range - previous;
}

std::optional<double> rate(std::optional<std::uint64_t> delta, double elapsed) {
  // "elapsed > 0" is false for NaN too.
  if (!delta || !(elapsed > 0)) return std::nullopt;
  return static_cast<double>(*delta) / elapsed;
}

}  // namespace kivo::CounterMath
