#pragma once

#include "collectors/DiskActivitySample.h"

#include <optional>

namespace kivo {

struct DiskRates {
  std::optional<double> read;
  std::optional<double> write;
  std::optional<double> readOps;
  std::optional<double> writeOps;

  bool operator==(const DiskRates&) const = default;
};

namespace DiskMath {
// Per-second rates; a counter that went down (a reset) or an elapsed time that is not > 0
// gives an absent rate, never a wrapped one.
DiskRates rates(const DiskCounters& previous, const DiskCounters& current, double elapsed);
std::optional<double> rate(std::uint64_t previous, std::uint64_t current, double elapsed);
}  // namespace DiskMath

}  // namespace kivo
