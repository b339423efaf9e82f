#pragma once

#include <QDateTime>

namespace kivo {

// One point of a live series: when it was sampled and its value in the metric's unit.
struct LivePoint {
  QDateTime date;
  double value = 0;

  bool operator==(const LivePoint&) const = default;
};

}  // namespace kivo
