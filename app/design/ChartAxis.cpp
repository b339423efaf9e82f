#include "design/ChartAxis.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kivo {

AxisUnit AxisUnit::of(MetricID metric, const QLocale& locale) {
  switch (metric) {
    case MetricID::thermalState:
    case MetricID::memPressure:
      return named();
    case MetricID::diskFree:
      return bytes(false);  // volumes are sized in powers of 1000 everywhere they are shown
    default:
      break;
  }
  switch (MetricCatalog::descriptor(metric).unit) {
    case MetricUnit::percent:
      return percent(locale);
    case MetricUnit::bytes:
      return bytes(true);
    case MetricUnit::bytesPerSecond:
      return bytes(false, QStringLiteral("/s"));
    case MetricUnit::count:
      return number({}, true);
    case MetricUnit::perSecond:
      return number(QStringLiteral("/s"));
    case MetricUnit::seconds:
      return number(QStringLiteral(" s"));
    case MetricUnit::milliseconds:
      return number(QStringLiteral(" ms"));
    case MetricUnit::watts:
      return number(QStringLiteral(" W"));
    case MetricUnit::celsius:
      return number(QStringLiteral(" °C"));
    case MetricUnit::level:
      return named();
    case MetricUnit::load:
      return number();
  }
  return number();
}

namespace ChartAxis {

namespace {

constexpr double kLimit = ChartGeometry::kValueLimit;
constexpr std::size_t kMostTicks = 64;
constexpr double kEpsilon = 1e-9;

double clean(double value) {
  return std::isfinite(value) ? std::clamp(value, -kLimit, kLimit) : 0.0;
}

bool isBytes(const AxisUnit& unit) {
  return unit.scale == AxisUnit::Scale::decimalBytes || unit.scale == AxisUnit::Scale::binaryBytes;
}

double base(const AxisUnit& unit) {
  return unit.scale == AxisUnit::Scale::binaryBytes ? 1024.0 : 1000.0;
}

// Ticks from lo to hi (in the unit) with step s: widened outwards, or kept inside.
struct Count {
  double first = 0;
  double last = 0;
  double count = 0;
};
Count count(double lo, double hi, double s, bool outwards) {
  const double first = outwards ? std::floor(lo / s + kEpsilon) : std::ceil(lo / s - kEpsilon);
  const double last = outwards ? std::ceil(hi / s - kEpsilon) : std::floor(hi / s + kEpsilon);
  return {first, last, last - first + 1};
}

// The round step (in the unit) whose number of ticks is nearest `desired`; of two as near, the
// one whose grid reaches least beyond the values, then the larger.
double roundStep(double lo, double hi, int desired, double smallest, bool outwards) {
  const double span = std::max(hi - lo, std::numeric_limits<double>::min());
  const double magnitude = std::pow(10.0, std::floor(std::log10(span / desired)));
  double best = 0;
  double bestMiss = std::numeric_limits<double>::infinity();
  double bestReach = std::numeric_limits<double>::infinity();
  for (double scale : {magnitude / 10, magnitude, magnitude * 10, magnitude * 100}) {
    for (double factor : {1.0, 2.0, 5.0}) {
      const double s = scale * factor;
      if (!(s > 0) || !std::isfinite(s) || s < smallest * (1 - kEpsilon)) continue;
      const Count c = count(lo, hi, s, outwards);
      if (c.count > static_cast<double>(kMostTicks)) continue;
      const double miss = std::abs(c.count - desired);
      const double reach = outwards ? (c.last - c.first) * s - (hi - lo) : 0.0;
      const bool nearer = miss < bestMiss - kEpsilon;
      const bool asNear = std::abs(miss - bestMiss) <= kEpsilon;
      if (nearer || (asNear && reach < bestReach - kEpsilon * std::max(1.0, span)) ||
          (asNear && std::abs(reach - bestReach) <= kEpsilon * std::max(1.0, span) && s > best)) {
        best = s;
        bestMiss = miss;
        bestReach = reach;
      }
    }
  }
  return best > 0 ? best : std::max(span, smallest);
}

Axis build(double low, double high, const AxisUnit& unit, int desired, bool outwards) {
  desired = std::max(desired, 2);
  Axis axis;
  axis.unit = unitFactor(unit, std::max(std::abs(low), std::abs(high)));
  const double lo = low / axis.unit;
  const double hi = high / axis.unit;
  const double smallest = unit.whole ? 1 / axis.unit : 0.0;
  const double s = roundStep(lo, hi, desired, smallest, outwards);
  axis.step = s * axis.unit;
  const Count c = count(lo, hi, s, outwards);
  for (double n = c.first; n <= c.last && axis.ticks.size() < kMostTicks; n += 1) {
    const double tick = n * axis.step;
    axis.ticks.push_back(tick == 0 ? 0.0 : tick);  // -0 would print as "-0"
  }
  axis.range = outwards && !axis.ticks.empty() ? ChartRange{axis.ticks.front(), axis.ticks.back()}
                                               : ChartRange{low, high};
  return axis;
}

}  // namespace

double unitFactor(const AxisUnit& unit, double magnitude) {
  if (!isBytes(unit)) return 1;
  const double b = base(unit);
  magnitude = std::abs(clean(magnitude));
  double factor = 1;
  // Up to exa, the largest unit the formatter writes.
  for (int power = 0; power < 6 && magnitude >= factor * b; ++power) factor *= b;
  return factor;
}

Axis fitted(double low, double high, const AxisUnit& unit, int desired) {
  low = clean(low);
  high = clean(high);
  if (low > high) std::swap(low, high);
  if (high - low <= 0) {
    // A flat series lies on the edge of its grid, never in the middle of it.
    const double value = low;
    if (value == 0) {
      low = 0;
      high = isBytes(unit) ? base(unit) : 1;
    } else {
      // Some room beyond the value, so its line is not drawn on the frame.
      low = std::min(value * 1.15, 0.0);
      high = std::max(value * 1.15, 0.0);
    }
  }
  return build(low, high, unit, desired, true);
}

Axis within(ChartRange domain, const AxisUnit& unit, int desired) {
  double low = clean(domain.lower);
  double high = clean(domain.upper);
  if (low > high) std::swap(low, high);
  if (high - low <= 0) return {{low, high}, {low}, 1, unitFactor(unit, low)};
  return build(low, high, unit, desired, false);
}

QString label(double value, const Axis& axis, const AxisUnit& unit, const QLocale& locale,
              const std::function<QString(double)>& named) {
  if (unit.scale == AxisUnit::Scale::named) return named ? named(value) : locale.toString(value);
  const double inUnit = value / axis.unit;
  const double step = axis.step / axis.unit;
  const int digits = step > 0 && std::isfinite(step)
                         ? std::clamp(static_cast<int>(std::ceil(-std::log10(step) - kEpsilon)), 0, 6)
                         : 0;
  // A tick a rounding error away from 0 is 0, without a sign.
  const double shown = std::abs(inUnit) < step * 1e-6 ? 0.0 : inUnit;
  QString text = locale.toString(shown, 'f', digits);
  if (isBytes(unit)) {
    const auto format =
        unit.scale == AxisUnit::Scale::binaryBytes ? QLocale::DataSizeIecFormat : QLocale::DataSizeSIFormat;
    // The unit's name as the formatter writes it after one of it: "1 GiB" gives " GiB".
    const QString one = locale.formattedDataSize(static_cast<qint64>(axis.unit), 0, format);
    text += one.mid(locale.toString(1).size());
  }
  return text + unit.suffix;
}

}  // namespace ChartAxis

}  // namespace kivo
