#pragma once

#include "model/LivePoint.h"

#include <QList>

#include <cstddef>
#include <iterator>
#include <vector>

namespace kivo {

// The newest points of one metric, oldest first, in a ring of fixed size: once full, a new point
// takes the place of the oldest, so a tick neither allocates nor moves the points it keeps.
class LiveRing {
 public:
  static constexpr int kCapacity = 150;

  class Iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = LivePoint;
    using difference_type = std::ptrdiff_t;
    using pointer = const LivePoint*;
    using reference = const LivePoint&;

    Iterator() = default;
    Iterator(const LiveRing* series, int index) : series_(series), index_(index) {}
    reference operator*() const { return (*series_)[index_]; }
    pointer operator->() const { return &(*series_)[index_]; }
    Iterator& operator++() {
      ++index_;
      return *this;
    }
    Iterator operator++(int) {
      Iterator before = *this;
      ++index_;
      return before;
    }
    bool operator==(const Iterator& other) const { return index_ == other.index_; }

   private:
    const LiveRing* series_ = nullptr;
    int index_ = 0;
  };

  int size() const { return size_; }
  bool isEmpty() const { return size_ == 0; }
  // 0 is the oldest point kept; the index must be below size().
  const LivePoint& operator[](int index) const {
    return points_[static_cast<std::size_t>((start_ + index) % kCapacity)];
  }
  const LivePoint& first() const { return (*this)[0]; }
  const LivePoint& last() const { return (*this)[size_ - 1]; }
  Iterator begin() const { return {this, 0}; }
  Iterator end() const { return {this, size_}; }

  // Adds the newest point, replacing the oldest once the ring is full.
  void append(const QDateTime& date, double value);
  // Keeps only the newest count points.
  void keepNewest(int count);
  void clear();

  // A copy, oldest first.
  QList<LivePoint> toList() const;
  bool operator==(const LiveRing& other) const;

 private:
  // kCapacity points from the first append on.
  std::vector<LivePoint> points_;
  int start_ = 0;
  int size_ = 0;
};

}  // namespace kivo
