#include "features/history/HistoryChartGeometry.h"

#include <QDateTime>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace kivo::HistoryChartGeometry {

namespace {

constexpr double kLimit = ChartGeometry::kValueLimit;

double clean(double value) {
  return std::clamp(value, -kLimit, kLimit);
}

constexpr double kDay = 86400;

QDateTime localTime(double seconds) {
  return QDateTime::fromSecsSinceEpoch(static_cast<qint64>(std::floor(seconds))).toLocalTime();
}

// Local midnights from the first inside the domain: every `days` days since 1 January 1970, or the
// first of every `months` months since January of year 0.
std::vector<double> calendarTicks(ChartRange domain, int days, int months) {
  std::vector<double> ticks;
  const QDate epoch(1970, 1, 1);
  QDate date = localTime(domain.lower).date();
  if (months > 0) {
    date = QDate(date.year(), date.month(), 1);
    while ((date.year() * 12 + date.month() - 1) % months != 0) date = date.addMonths(1);
  } else {
    const qint64 offset = epoch.daysTo(date) % days;
    date = date.addDays(offset == 0 ? 0 : (offset > 0 ? days - offset : -offset));
  }
  for (int guard = 0; guard < 400 && ticks.size() < 64; ++guard) {
    // A midnight the clocks skip has no tick.
    const QDateTime midnight(date, QTime(0, 0), Qt::LocalTime);
    date = months > 0 ? date.addMonths(months) : date.addDays(days);
    if (!midnight.isValid() || midnight.time() != QTime(0, 0)) continue;
    const auto tick = static_cast<double>(midnight.toSecsSinceEpoch());
    if (tick > domain.upper) break;
    if (tick >= domain.lower) ticks.push_back(tick);
  }
  return ticks;
}

}  // namespace

std::vector<int> segments(const Series& series) {
  std::vector<int> numbers;
  numbers.reserve(series.points.size());
  int segment = 0;
  for (std::size_t i = 0; i < series.points.size(); ++i) {
    if (i > 0 && series.points[i].time - series.points[i - 1].time > kBreakSteps * series.step) ++segment;
    numbers.push_back(segment);
  }
  return numbers;
}

ChartRange timeDomain(double from, double to) {
  if (!std::isfinite(from) || !std::isfinite(to)) return {0, 1};
  ChartRange range{std::min(from, to), std::max(from, to)};
  if (range.upper - range.lower < 1) {
    const double middle = (range.lower + range.upper) / 2;
    range = {middle - 0.5, middle + 0.5};
  }
  return range;
}

std::optional<ChartRange> valueExtent(const Series& series) {
  bool any = false;
  double low = 0;
  double high = 0;
  for (const SeriesPoint& point : series.points) {
    for (double value : {point.min, point.max, point.avg}) {
      if (!std::isfinite(value)) continue;
      low = any ? std::min(low, value) : value;
      high = any ? std::max(high, value) : value;
      any = true;
    }
  }
  if (!any) return std::nullopt;
  return ChartRange{clean(low), clean(high)};
}

double timeStep(double span, int desired) {
  static constexpr std::array<double, 25> kSteps = {
      1,    2,     5,     10,    15,    30,    60,     120,    300,    600,     900,     1800,   3600,
      7200, 10800, 14400, 21600, 43200, 86400, 172800, 432000, 604800, 1209600, 2592000, 5184000};
  if (!(span > 0) || !std::isfinite(span)) return kSteps.front();
  double best = kSteps.front();
  double bestMiss = std::numeric_limits<double>::infinity();
  for (double step : kSteps) {
    const double miss = std::abs(span / step - desired);
    if (miss <= bestMiss) {
      best = step;
      bestMiss = miss;
    }
  }
  return best;
}

std::vector<double> timeTicks(ChartRange domain, int desired) {
  const double step = timeStep(domain.upper - domain.lower, desired);
  if (step >= kMonthStep) return calendarTicks(domain, 0, static_cast<int>(std::lround(step / kMonthStep)));
  if (step >= kDay) return calendarTicks(domain, static_cast<int>(std::lround(step / kDay)), 0);
  std::vector<double> ticks;
  const double offset = localTime(domain.lower).offsetFromUtc();
  double tick = std::ceil((domain.lower + offset) / step) * step - offset;
  for (; tick <= domain.upper && ticks.size() < 64; tick += step) ticks.push_back(tick);
  return ticks;
}

std::optional<std::size_t> nearestPoint(const Series& series, double time) {
  const auto& points = series.points;
  if (points.empty() || !std::isfinite(time)) return std::nullopt;
  const auto after = std::lower_bound(points.begin(), points.end(), time,
                                      [](const SeriesPoint& point, double t) { return point.time < t; });
  if (after == points.begin()) return 0;
  if (after == points.end()) return points.size() - 1;
  const auto before = after - 1;
  const auto index = static_cast<std::size_t>(before - points.begin());
  return time - before->time <= after->time - time ? index : index + 1;
}

double x(double time, ChartRange domain, const QRectF& plot) {
  const double span = domain.upper - domain.lower;
  if (!(span > 0)) return plot.left();
  return plot.left() + (clean(time) - domain.lower) / span * plot.width();
}

double y(double value, ChartRange domain, const QRectF& plot) {
  const double span = domain.upper - domain.lower;
  if (!(span > 0)) return plot.center().y();
  const double fraction = std::clamp((clean(value) - domain.lower) / span, 0.0, 1.0);
  return plot.bottom() - fraction * plot.height();
}

std::optional<double> timeAt(double position, ChartRange domain, const QRectF& plot) {
  if (!std::isfinite(position) || position < plot.left() || position > plot.right() || plot.width() <= 0) {
    return std::nullopt;
  }
  return domain.lower + (position - plot.left()) / plot.width() * (domain.upper - domain.lower);
}

QRectF plotRect(const QRectF& canvas, double labelWidth) {
  const double left = canvas.left() + std::max(labelWidth, 0.0) + kLabelGap;
  const double top = canvas.top() + kTopMargin;
  return {left, top, std::max(canvas.right() - kRightMargin - left, 1.0),
          std::max(canvas.bottom() - kBottomMargin - top, 1.0)};
}

}  // namespace kivo::HistoryChartGeometry
