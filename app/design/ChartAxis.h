#pragma once

#include "design/ChartGeometry.h"
#include "metrics/Metric.h"

#include <QLocale>
#include <QString>

#include <functional>
#include <vector>

namespace kivo {

// The unit a chart's values are read in, so that its grid falls on round numbers of the unit a
// person sees (2, 4, 6, 8 GiB) rather than on fractions of the largest value.
struct AxisUnit {
  enum class Scale {
    number,        // the figure and a suffix: "20%", "1.5 W"
    decimalBytes,  // bytes, kB, MB, … (1000 apart), then the suffix: "200 kB/s"
    binaryBytes,   // bytes, KiB, MiB, … (1024 apart)
    named,         // whole steps written by the chart's own text (levels such as "Serious")
  };
  Scale scale = Scale::number;
  QString suffix;
  bool whole = false;  // no step below one (counts, levels)

  static AxisUnit number(QString suffix = {}, bool whole = false) {
    return {Scale::number, std::move(suffix), whole};
  }
  static AxisUnit percent(const QLocale& locale = QLocale()) { return number(locale.percent()); }
  static AxisUnit bytes(bool binary, QString suffix = {}) {
    return {binary ? Scale::binaryBytes : Scale::decimalBytes, std::move(suffix), true};
  }
  static AxisUnit named() { return {Scale::named, {}, true}; }
  // The unit a stored metric is shown in, as its values are written everywhere else.
  static AxisUnit of(MetricID metric, const QLocale& locale = QLocale());

  bool operator==(const AxisUnit&) const = default;
};

// Round value grids for every chart: the step is 1, 2 or 5 times a power of ten of the unit
// shown, and every label is written in that one unit with the digits the step needs.
namespace ChartAxis {

inline constexpr int kDesiredTicks = 5;

// The factor of the unit values of this magnitude are shown in: 1 for numbers, else the power of
// 1000 or 1024 the formatter would pick for it (bytes below one kilobyte stay bytes).
double unitFactor(const AxisUnit& unit, double magnitude);

// A grid: its range, the values of its lines (lowest first), its step and the unit it is read in.
struct Axis {
  ChartRange range;
  std::vector<double> ticks;
  double step = 1;
  double unit = 1;

  bool operator==(const Axis&) const = default;
};

// A grid over values from `low` to `high`, widened outwards to the round ticks around them. A
// flat range sits on its edge: 0 draws at the bottom with the smallest sensible unit above it
// (1 kB or 1 KiB for bytes, 1 for numbers), any other value v between 0 and a little beyond v.
Axis fitted(double low, double high, const AxisUnit& unit, int desired = kDesiredTicks);

// Round ticks inside a fixed range, which stays as it is.
Axis within(ChartRange domain, const AxisUnit& unit, int desired = kDesiredTicks);

// The label of one tick, in the axis's unit with the digits its step needs ("0.5 GiB", "20%").
// A named unit asks `named` for the text.
QString label(double value, const Axis& axis, const AxisUnit& unit, const QLocale& locale = QLocale(),
              const std::function<QString(double)>& named = {});

}  // namespace ChartAxis

}  // namespace kivo
