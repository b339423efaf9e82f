#include "pdf/PdfChart.h"

#include <algorithm>

namespace kivo::PdfChart {

namespace {

constexpr double kMinimumSpan = 1e-9;
constexpr double kGapSteps = 2.5;
constexpr double kNarrowestGap = 0.5;

}  // namespace

Scale scale(const QRectF& plot, double from, double to, std::optional<double> minimum,
            std::optional<double> maximum) {
  Scale s;
  s.plot = plot;
  s.t0 = from;
  s.t1 = to <= from + 1 ? from + 1 : to;
  s.lower = std::min(minimum.value_or(0), 0.0);
  // A series entirely below zero keeps zero at the top of its axis.
  s.upper = std::max(maximum.value_or(1), 0.0);
  if (s.upper <= s.lower + kMinimumSpan) s.upper = s.lower + kMinimumSpan;
  return s;
}

std::vector<Segment> segments(const std::vector<SeriesPoint>& points, double step) {
  std::vector<Segment> out;
  const double limit = kGapSteps * step;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (out.empty() || points[i].time - points[i - 1].time > limit) {
      out.push_back(Segment{i, i + 1});
    } else {
      out.back().last = i + 1;
    }
  }
  return out;
}

void draw(PdfCanvas& canvas, const Scale& scale, const std::vector<SeriesPoint>& points, double step,
          const std::vector<SeriesGap>& gaps, const Colours& colours) {
  canvas.fillRect(scale.plot, colours.background);
  canvas.clipTo(scale.plot);

  for (const SeriesGap& gap : gaps) {
    const double left = scale.x(gap.start);
    const double width = std::max(scale.x(gap.end) - left, kNarrowestGap);
    canvas.fillRect(QRectF(left, scale.plot.y(), width, scale.plot.height()), colours.gap);
  }

  for (const Segment& segment : segments(points, step)) {
    if (segment.last - segment.first == 1) {
      // A lone point between two gaps would leave no mark as a band and a line.
      const SeriesPoint& p = points[segment.first];
      QPainterPath dot;
      dot.setFillRule(Qt::WindingFill);
      dot.addEllipse(QPointF(scale.x(p.time), scale.y(p.avg)), kDotRadius, kDotRadius);
      canvas.fillPath(dot, colours.line);
      continue;
    }
    QPainterPath band;
    band.setFillRule(Qt::WindingFill);
    band.moveTo(scale.x(points[segment.first].time), scale.y(points[segment.first].max));
    for (std::size_t i = segment.first + 1; i < segment.last; ++i)
      band.lineTo(scale.x(points[i].time), scale.y(points[i].max));
    for (std::size_t i = segment.last; i-- > segment.first;)
      band.lineTo(scale.x(points[i].time), scale.y(points[i].min));
    band.closeSubpath();
    canvas.fillPath(band, colours.band);

    QPainterPath line;
    line.moveTo(scale.x(points[segment.first].time), scale.y(points[segment.first].avg));
    for (std::size_t i = segment.first + 1; i < segment.last; ++i)
      line.lineTo(scale.x(points[i].time), scale.y(points[i].avg));
    canvas.strokePath(line, 1, colours.line);
  }

  canvas.unclip();
}

}  // namespace kivo::PdfChart
