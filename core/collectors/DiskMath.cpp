#include "collectors/DiskMath.h"

namespace kivo::DiskMath {

std::optional<double> rate(std::uint64_t previous, std::uint64_t current, double elapsed) {
  if (!(elapsed > 0) || current < previous) return std::nullopt;
  return static_cast<double>(current - previous) / elapsed;
}

DiskRates rates(const DiskCounters& previous, const DiskCounters& current, double elapsed) {
  return DiskRates{rate(previous.bytesRead, current.bytesRead, elapsed),
                   rate(previous.bytesWritten, current.bytesWritten, elapsed),
                   rate(previous.readOperations, current.readOperations, elapsed),
                   rate(previous.writeOperations, current.writeOperations, elapsed)};
}

}  // namespace kivo::DiskMath
