#include "model/LiveRing.h"

#include <algorithm>

namespace kivo {

void LiveRing::append(const QDateTime& date, double value) {
  if (points_.empty()) points_.resize(kCapacity);
  LivePoint& slot = points_[static_cast<std::size_t>((start_ + size_) % kCapacity)];
  slot.date = date;
  slot.value = value;
  if (size_ < kCapacity) {
    ++size_;
  } else {
    start_ = (start_ + 1) % kCapacity;
  }
}

void LiveRing::keepNewest(int count) {
  count = std::clamp(count, 0, size_);
  start_ = (start_ + size_ - count) % kCapacity;
  size_ = count;
}

void LiveRing::clear() {
  start_ = 0;
  size_ = 0;
}

QList<LivePoint> LiveRing::toList() const {
  QList<LivePoint> list;
  list.reserve(size_);
  for (const LivePoint& point : *this) list.append(point);
  return list;
}

bool LiveRing::operator==(const LiveRing& other) const {
  return size_ == other.size_ && std::equal(begin(), end(), other.begin());
}

}  // namespace kivo
