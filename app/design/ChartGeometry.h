#pragma once

#include "design/LiveSeries.h"

#include <QPointF>
#include <QRectF>
#include <QString>

#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace kivo {

// A closed value range, lower <= upper once it has gone through ChartGeometry.
struct ChartRange {
  double lower = 0;
  double upper = 0;

  bool operator==(const ChartRange&) const = default;
};

// The pure geometry of the sparkline and the live chart: no colours, no fonts, no painter.
// Nothing non-finite leaves these functions: points that are not finite are skipped and
// coordinates are computed from clamped, finite values only.
namespace ChartGeometry {

// Room kept around the plot of a live chart for value labels (left) and time labels (bottom).
// The left margin grows with the widest value label, from kLeftMargin up to kMaxLeftMargin and
// never past kMaxLeftShare of the canvas, so the plot keeps most of a narrow chart.
inline constexpr double kLeftMargin = 62;
inline constexpr double kMaxLeftMargin = 160;
inline constexpr double kMaxLeftShare = 0.4;
inline constexpr double kLabelGap = 6;  // between value labels and the plot
inline constexpr double kRightMargin = 4;
inline constexpr double kTopMargin = 4;
inline constexpr double kBottomMargin = 18;
// Figures beyond this are treated as this, so spans and sums of the range stay finite.
inline constexpr double kValueLimit = 1e300;

// The room left of the plot for value labels of these widths (as measured with the painting
// font), within the bounds above.
double leftMargin(std::span<const double> labelWidths, double canvasWidth);

// The plot rectangle inside a canvas, leaving room for value labels of these widths: never
// narrower or lower than 1.
QRectF plotRect(const QRectF& canvas, std::span<const double> labelWidths = {});

// A fixed domain put in order (lower > upper swapped); none when a bound is not finite.
std::optional<ChartRange> ordered(ChartRange domain);

// For every distinct instant, the sum of the finite values at exactly that instant.
std::vector<double> stackedTotals(std::span<const LiveSeries> series);

// The smallest and largest finite value (stacked: of the per-instant totals); none without values.
std::optional<ChartRange> extent(std::span<const LiveSeries> series, bool stacked);

// The value range of a chart: the (ordered) domain when given, else from 0 or the smallest value
// up to 0 or 1.15 x the largest (stacked: of the per-instant totals), at least 1e-9 high.
// A series that is all zero gets 0 to 1, so its grid has room to say so.
ChartRange range(std::span<const LiveSeries> series, std::optional<ChartRange> domain, bool stacked);

// The grid values: the given ticks (finite ones, in their order), else five even steps.
std::vector<double> ticks(ChartRange range, const std::optional<std::vector<double>>& given);

// A grid value with its label.
struct Tick {
  double value = 0;
  QString label;
  bool operator==(const Tick&) const = default;
};
// The grid with its labels and no label shown twice: of given ticks the first with a label is
// kept; even steps fall back from five to three to two to one until their labels differ (a flat
// or tiny range whose labels round alike).
std::vector<Tick> labelledTicks(ChartRange range, const std::optional<std::vector<double>>& given,
                                const std::function<QString(double)>& label);

// The y of a value in a plot; values outside the range sit on its nearest edge.
double y(double value, ChartRange range, const QRectF& plot);

// The time span of all points; none when there are no points or all share one instant.
struct TimeSpan {
  qint64 start = 0;
  qint64 end = 0;
  bool operator==(const TimeSpan&) const = default;
};
std::optional<TimeSpan> timeSpan(std::span<const LiveSeries> series);
double x(qint64 msecs, TimeSpan span, const QRectF& plot);

// Finite points of a series.
int finiteCount(const LiveSeries& series);
// Whether any series has two finite points, so a line can be drawn.
bool hasLine(std::span<const LiveSeries> series);

// The sparkline's points in a rectangle: values evenly spaced from the left to the right edge,
// 0 half a point above the bottom and the scale (the ceiling, else the largest value) half a
// point below the top. Non-finite values leave their slot empty; fewer than two finite values
// give no points.
std::vector<QPointF> sparklinePoints(std::span<const double> values, std::optional<double> ceiling,
                                     const QRectF& rect);

}  // namespace ChartGeometry

}  // namespace kivo
