#pragma once

#include "design/ChartColor.h"

#include <QString>
#include <QtGlobal>

#include <vector>

namespace kivo {

// One sample of a chart: when it was taken (milliseconds since the epoch, so samples of
// different series taken at the same instant compare equal) and its value.
struct ChartPoint {
  qint64 msecs = 0;
  double value = 0;

  bool operator==(const ChartPoint&) const = default;
};

// A series of a live chart, connected in list order.
struct LiveSeries {
  QString id;
  QString name;  // legend and spoken name, shown as given
  ChartColor color;
  std::vector<ChartPoint> points;

  // Takes the points of any range of {date, value} records (the model's live points), reusing
  // the vector's storage so a page updating every tick does not allocate.
  template <typename Range>
  void assign(const Range& source) {
    points.clear();
    for (const auto& point : source) points.push_back({point.date.toMSecsSinceEpoch(), point.value});
  }
};

}  // namespace kivo
