#pragma once

#include <cstdint>
#include <optional>

namespace kivo::CounterMath {

// Increase of a counter of the given width. A 64-bit counter that went down was reset;
// a narrower one wrapped only when it was in the upper half of its range before.
std::optional<std::uint64_t> delta(std::uint64_t previous, std::uint64_t current, int bits);

// Per-second rate; absent for an absent delta or an elapsed time that is not > 0.
std::optional<double> rate(std::optional<std::uint64_t> delta, double elapsed);

}  // namespace kivo::CounterMath
