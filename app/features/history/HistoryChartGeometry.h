#pragma once

#include "design/ChartGeometry.h"
#include "storage/Series.h"

#include <QRectF>

#include <cstddef>
#include <optional>
#include <vector>

namespace kivo {

// The pure geometry of the history chart: segments, domains, ticks, the point under the pointer
// and the mapping between seconds, values and pixels. Times are seconds since 1970.
namespace HistoryChartGeometry {

// Neighbouring points further apart than this many bucket steps are not joined.
inline constexpr double kBreakSteps = 2.5;
// Room above the plot for the bookmark symbols, below it for the time labels.
inline constexpr double kTopMargin = 12;
inline constexpr double kBottomMargin = 20;
inline constexpr double kRightMargin = 8;
inline constexpr double kLabelGap = 6;

// The segment number of every point, in order: a point starts the next segment when it is
// more than kBreakSteps steps after the point before it.
std::vector<int> segments(const Series& series);

// from ... to in order, at least one second wide (a zero-width range grows around its middle).
ChartRange timeDomain(double from, double to);

// The points' smallest and largest finite figure (minimum, average or maximum); none without.
std::optional<ChartRange> valueExtent(const Series& series);

// A step of this many seconds or a multiple of it stands for that many calendar months.
inline constexpr double kMonthStep = 2592000;

// The distance between time ticks for a span of seconds: the round step (seconds, minutes,
// hours, days, months) that gives the tick count closest to `desired`, the larger one on a tie.
double timeStep(double span, int desired = 6);
// The ticks inside the domain, in local time: below a day, multiples of the step; from a day on,
// midnights; month steps, the first of a month. Days and months are counted on the calendar, so
// a tick stays on its midnight across a change of the clocks.
std::vector<double> timeTicks(ChartRange domain, int desired = 6);

// The point whose time is nearest to `time`; the earlier of two equally near. None without points.
std::optional<std::size_t> nearestPoint(const Series& series, double time);

double x(double time, ChartRange domain, const QRectF& plot);
double y(double value, ChartRange domain, const QRectF& plot);
// The time at a horizontal position; none outside the plot.
std::optional<double> timeAt(double x, ChartRange domain, const QRectF& plot);

// The plot inside a canvas once value labels of this width sit on its left.
QRectF plotRect(const QRectF& canvas, double labelWidth);

}  // namespace HistoryChartGeometry

}  // namespace kivo
