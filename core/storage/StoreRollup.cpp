#include "storage/StoreRollup.h"

#include <cmath>

namespace kivo::StoreDetail {

double periodStart(double t, double length) {
  return std::floor(t / length) * length;
}

std::optional<Bucket> rollUp(std::optional<Bucket>& open, double start, double value) {
  std::optional<Bucket> closed;
  if (open && open->start != start) {
    if (open->count > 0) closed = *open;
    open.reset();
  }
  if (!open) open = Bucket{start, 0, 0, 0, 0};
  open->add(value);
  return closed;
}

std::optional<Bucket> takeSamples(std::optional<Bucket>& open) {
  if (!open || open->count <= 0) return std::nullopt;
  const Bucket taken = *open;
  *open = Bucket{open->start, 0, 0, 0, 0};
  return taken;
}

bool putBack(std::optional<Bucket>& open, const Bucket& taken) {
  if (!open || open->start != taken.start) return false;
  open->merge(taken);
  return true;
}

}  // namespace kivo::StoreDetail
