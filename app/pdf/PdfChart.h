#pragma once

#include "pdf/PdfCanvas.h"
#include "storage/Series.h"

#include <QColor>
#include <QRectF>

#include <cstddef>
#include <optional>
#include <vector>

namespace kivo::PdfChart {

// Plot size in points.
inline constexpr double kPlotWidth = 462;
inline constexpr double kPlotHeight = 96;
// Radius of the dot that stands for a segment of one point.
inline constexpr double kDotRadius = 1.5;

// Maps times (seconds since 1970) and values onto a plot rectangle in page coordinates (y up).
struct Scale {
  QRectF plot;  // y() is the bottom edge
  double t0 = 0;
  double t1 = 1;
  double lower = 0;
  double upper = 1;

  double x(double t) const { return plot.left() + (t - t0) / (t1 - t0) * plot.width(); }
  double y(double v) const { return plot.y() + (v - lower) / (upper - lower) * plot.height(); }
};

// The whole report period (widened to one second when shorter) against a value axis that always
// holds zero: lower = min(minimum or 0, 0), upper = max(maximum or 1, 0), at least 1e-9 apart.
Scale scale(const QRectF& plot, double from, double to, std::optional<double> minimum,
            std::optional<double> maximum);

// Index ranges [first, last) of the runs of points not split by a gap: a point more than 2.5
// steps after the previous one starts a new run.
struct Segment {
  std::size_t first = 0;
  std::size_t last = 0;
};
std::vector<Segment> segments(const std::vector<SeriesPoint>& points, double step);

struct Colours {
  QColor background;
  QColor gap;
  QColor band;
  QColor line;
};

// The plot: background, gap bands, min–max band and average line of every run (a run of one
// point as a dot), all cut to the plot rectangle.
void draw(PdfCanvas& canvas, const Scale& scale, const std::vector<SeriesPoint>& points, double step,
          const std::vector<SeriesGap>& gaps, const Colours& colours);

}  // namespace kivo::PdfChart
