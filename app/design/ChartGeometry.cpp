#include "design/ChartGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kivo::ChartGeometry {

namespace {

double limited(double value) {
  return std::clamp(value, -kValueLimit, kValueLimit);
}

// A range anyone may have built, made safe to divide by: ordered, finite, never empty.
ChartRange sane(ChartRange range) {
  if (!std::isfinite(range.lower) || !std::isfinite(range.upper)) return {0, 1};
  if (range.lower > range.upper) std::swap(range.lower, range.upper);
  return {limited(range.lower), limited(range.upper)};
}

}  // namespace

double leftMargin(std::span<const double> labelWidths, double canvasWidth) {
  double widest = 0;
  for (double width : labelWidths) {
    if (std::isfinite(width)) widest = std::max(widest, width);
  }
  const double share = std::isfinite(canvasWidth) ? std::max(canvasWidth, 0.0) * kMaxLeftShare : 0.0;
  const double most = std::max(kLeftMargin, std::min(kMaxLeftMargin, share));
  // One pixel more than the label, since labels are drawn from fractional widths.
  return std::clamp(std::ceil(widest) + 1 + kLabelGap, kLeftMargin, most);
}

QRectF plotRect(const QRectF& canvas, std::span<const double> labelWidths) {
  const double left = leftMargin(labelWidths, canvas.width());
  const double width = std::max(canvas.width() - left - kRightMargin, 1.0);
  const double height = std::max(canvas.height() - kBottomMargin - kTopMargin, 1.0);
  return {canvas.x() + left, canvas.y() + kTopMargin, width, height};
}

std::optional<ChartRange> ordered(ChartRange domain) {
  if (!std::isfinite(domain.lower) || !std::isfinite(domain.upper)) return std::nullopt;
  return sane(domain);
}

std::vector<double> stackedTotals(std::span<const LiveSeries> series) {
  std::vector<ChartPoint> points;
  for (const LiveSeries& one : series) {
    for (const ChartPoint& point : one.points) {
      if (std::isfinite(point.value)) points.push_back(point);
    }
  }
  std::stable_sort(points.begin(), points.end(),
                   [](const ChartPoint& a, const ChartPoint& b) { return a.msecs < b.msecs; });
  std::vector<double> totals;
  for (std::size_t i = 0; i < points.size();) {
    double sum = 0;
    const qint64 at = points[i].msecs;
    for (; i < points.size() && points[i].msecs == at; ++i) sum = limited(sum + points[i].value);
    totals.push_back(sum);
  }
  return totals;
}

std::optional<ChartRange> extent(std::span<const LiveSeries> series, bool stacked) {
  double smallest = std::numeric_limits<double>::infinity();
  double largest = -std::numeric_limits<double>::infinity();
  auto take = [&](double value) {
    value = limited(value);
    smallest = std::min(smallest, value);
    largest = std::max(largest, value);
  };
  if (stacked) {
    for (double total : stackedTotals(series)) take(total);
  } else {
    for (const LiveSeries& one : series) {
      for (const ChartPoint& point : one.points) {
        if (std::isfinite(point.value)) take(point.value);
      }
    }
  }
  if (smallest > largest) return std::nullopt;
  return ChartRange{smallest, largest};
}

ChartRange range(std::span<const LiveSeries> series, std::optional<ChartRange> domain, bool stacked) {
  if (domain) {
    if (const auto fixed = ordered(*domain)) return *fixed;
  }
  const auto values = extent(series, stacked);
  const bool none = !values;
  const double smallest = none ? 0.0 : values->lower;
  const double largest = none ? 0.0 : values->upper;
  if (!none && smallest == 0 && largest == 0) return {0, 1};
  const double lower = none ? 0.0 : std::min(0.0, smallest);
  // Values all below 0 keep 0 as the top, as values all above it keep 0 as the bottom.
  const double upper = none ? 1.15 : std::max(0.0, 1.15 * largest);
  return {lower, std::max(upper, lower + 1e-9)};
}

std::vector<double> ticks(ChartRange range, const std::optional<std::vector<double>>& given) {
  std::vector<double> values;
  if (given) {
    values.reserve(given->size());
    for (double tick : *given) {
      if (std::isfinite(tick)) values.push_back(tick);
    }
    return values;
  }
  range = sane(range);
  const double span = std::max(range.upper - range.lower, 1e-12);
  values.reserve(5);
  for (int k = 0; k < 5; ++k) values.push_back(range.lower + span * k * 0.25);
  return values;
}

std::vector<Tick> labelledTicks(ChartRange range, const std::optional<std::vector<double>>& given,
                                const std::function<QString(double)>& label) {
  const auto text = [&label](double value) { return label ? label(value) : QString::number(value); };
  std::vector<Tick> shown;
  const auto seen = [&shown](const QString& text) {
    return std::any_of(shown.begin(), shown.end(), [&text](const Tick& tick) { return tick.label == text; });
  };
  if (given) {
    for (double value : ticks(range, given)) {
      QString labelText = text(value);
      if (!seen(labelText)) shown.push_back({value, std::move(labelText)});
    }
    return shown;
  }
  range = sane(range);
  for (const int steps : {4, 2, 1}) {
    shown.clear();
    bool repeats = false;
    for (int k = 0; k <= steps && !repeats; ++k) {
      const double value = k == steps ? range.upper : range.lower + (range.upper - range.lower) * k / steps;
      QString labelText = text(value);
      repeats = seen(labelText);
      shown.push_back({value, std::move(labelText)});
    }
    if (!repeats) return shown;
  }
  return {{range.lower, text(range.lower)}};
}

double y(double value, ChartRange range, const QRectF& plot) {
  range = sane(range);
  const double span = std::max(range.upper - range.lower, 1e-12);
  double clamped = range.lower;
  if (value >= range.upper) {
    clamped = range.upper;  // also +infinity
  } else if (value > range.lower) {
    clamped = value;  // NaN and -infinity fail both tests and stay at the lower edge
  }
  return plot.bottom() - (clamped - range.lower) / span * plot.height();
}

std::optional<TimeSpan> timeSpan(std::span<const LiveSeries> series) {
  bool any = false;
  TimeSpan span{std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::min()};
  for (const LiveSeries& one : series) {
    for (const ChartPoint& point : one.points) {
      if (!std::isfinite(point.value)) continue;
      any = true;
      span.start = std::min(span.start, point.msecs);
      span.end = std::max(span.end, point.msecs);
    }
  }
  if (!any || span.end <= span.start) return std::nullopt;
  return span;
}

double x(qint64 msecs, TimeSpan span, const QRectF& plot) {
  const double duration = static_cast<double>(span.end) - static_cast<double>(span.start);
  if (!(duration > 0)) return plot.left();
  const double offset = static_cast<double>(msecs) - static_cast<double>(span.start);
  return plot.left() + offset / duration * plot.width();
}

int finiteCount(const LiveSeries& series) {
  return static_cast<int>(std::count_if(series.points.begin(), series.points.end(),
                                        [](const ChartPoint& p) { return std::isfinite(p.value); }));
}

bool hasLine(std::span<const LiveSeries> series) {
  return std::any_of(series.begin(), series.end(),
                     [](const LiveSeries& one) { return finiteCount(one) >= 2; });
}

std::vector<QPointF> sparklinePoints(std::span<const double> values, std::optional<double> ceiling,
                                     const QRectF& rect) {
  std::vector<QPointF> points;
  const auto finite = std::count_if(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
  if (finite < 2) return points;
  double scale = -std::numeric_limits<double>::infinity();
  if (ceiling && std::isfinite(*ceiling)) {
    scale = *ceiling;
  } else {
    for (double value : values) {
      if (std::isfinite(value)) scale = std::max(scale, value);
    }
  }
  scale = std::max(scale, std::numeric_limits<double>::denorm_min());
  const double width = rect.width();
  const double height = rect.height();
  const double step = width / static_cast<double>(values.size() - 1);
  points.reserve(static_cast<std::size_t>(finite));
  for (std::size_t i = 0; i < values.size(); ++i) {
    const double value = values[i];
    if (!std::isfinite(value)) continue;
    double share = 0;
    if (value >= scale) {
      share = 1;
    } else if (value > 0) {
      share = value / scale;
    }
    points.emplace_back(rect.left() + step * static_cast<double>(i),
                        rect.top() + height - (height - 1) * share - 0.5);
  }
  return points;
}

}  // namespace kivo::ChartGeometry
